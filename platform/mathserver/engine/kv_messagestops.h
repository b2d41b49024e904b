// Keeps the engine's message state across a scope. Some of the engine's own routines stop its
// messages and never start them again (an indefinite integral does), which would hide every
// later error and warning of the process; the scope's end undoes what was left.
#ifndef KV_MESSAGESTOPS_H
#define KV_MESSAGESTOPS_H

class KV_MessageStops {
public:
    KV_MessageStops();
    ~KV_MessageStops();
    KV_MessageStops(const KV_MessageStops&) = delete;
    KV_MessageStops& operator=(const KV_MessageStops&) = delete;

    // Brings the engine back to the state found at construction.
    void restore() const;
    // How many temporary message stops the engine holds now.
    static int depth();

private:
    int depth_;
};

#endif

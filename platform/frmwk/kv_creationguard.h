// Watches the creation of a hosted object: while a guard lives, a call of exit() or
// quick_exit() (by a component's entry point or constructor, before its object exists) ends the
// process with status 1 and one line on standard error, instead of with the status the
// component chose. Guards do not nest.
#ifndef KV_CREATIONGUARD_H
#define KV_CREATIONGUARD_H

class KV_CreationGuard {
public:
    // program and className must outlive the guard.
    KV_CreationGuard(const char* program, const char* className);
    ~KV_CreationGuard();

    KV_CreationGuard(const KV_CreationGuard&) = delete;
    KV_CreationGuard& operator=(const KV_CreationGuard&) = delete;
};

#endif

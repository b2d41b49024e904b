// The component interface model: interfaces named by QUuid, reference counted, reached through
// queryInterface. A component library exports ucm_instantiate(), which returns its factory.
#ifndef QUNKNOWNINTERFACE_H
#define QUNKNOWNINTERFACE_H

#include <QUuid>

// Identifier of QUnknownInterface.
inline const QUuid IID_QUnknown(0x1d8518cd, 0xe8f5, 0x4366, 0x99, 0xe8, 0x87, 0x9f, 0xd7, 0xe4,
                                0x82, 0xde);

class QUnknownInterface {
public:
    // Sets *iface to the interface named by uuid (adding a reference) and returns 0, or sets it
    // to null and returns non-zero when the interface is not offered.
    virtual unsigned long queryInterface(const QUuid& uuid, QUnknownInterface** iface) = 0;
    // Returns the count before the increment.
    virtual unsigned long addRef() = 0;
    // Returns the count after the decrement; the object deletes itself when it reaches 0.
    virtual unsigned long release() = 0;

protected:
    // Not virtual, so that the table of an interface holds exactly its operations in the order
    // above (and create after them in the factory): components built elsewhere against this
    // layout stay compatible. Objects delete themselves in release(), never through this type.
    ~QUnknownInterface() = default;
};

// The entry point every component library exports under this unmangled name.
extern "C" {
typedef QUnknownInterface* (*UcmInstantiateFunction)();
}
inline constexpr const char* UCM_INSTANTIATE_SYMBOL = "ucm_instantiate";

#endif

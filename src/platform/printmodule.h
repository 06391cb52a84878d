#pragma once
// What the module "printing" offers: the printers seam over the toolkit's print support. Its dialogs
// are shown through `run`, so that the lock closes them as it closes every seam's (dialoglock.h).

#include "platform/printers.h"

#include <QObject>
#include <functional>
#include <memory>

class QDialog;

namespace platform {

using RunDialog = std::function<int(QDialog &dialog)>;

class PrintersModule
{
public:
    virtual ~PrintersModule() = default;
    virtual std::unique_ptr<Printers> printers(RunDialog run) = 0;
};

} // namespace platform

Q_DECLARE_INTERFACE(platform::PrintersModule, "org.mivo.Printers/1")

#include "pane/PaneRegistration.h"

#include <QtGlobal>

// Called by the host when it loads the bundle, before it asks for the principal class.
extern "C" Q_DECL_EXPORT void PSBundleRegisterClasses() {
    registerPaneClasses();
}

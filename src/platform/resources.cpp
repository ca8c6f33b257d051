#include "platform/resources.h"

#include <QtGlobal>

// Q_INIT_RESOURCE names a global function and must be used outside a namespace.
static void registerQuorResources() { Q_INIT_RESOURCE(resources); }

namespace quor {

void initResources() {
    static const bool done = (registerQuorResources(), true);
    (void)done;
}

}  // namespace quor

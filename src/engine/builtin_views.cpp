// The view classes the engine knows by object kind. A static library drops
// self-registering objects nobody refers to, so every class is listed here.

#include "engine/view_factory.h"

namespace quor {

void registerBuiltinViews(ViewFactory& factory) {
    // Each concrete view adds its line, e.g.
    //   factory.registerKind(kKindMemo, [] { return std::make_unique<TfrMemoView>(); });
    (void)factory;
}

}  // namespace quor

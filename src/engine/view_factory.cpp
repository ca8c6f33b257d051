#include "engine/view_factory.h"

namespace quor {

ViewFactory& ViewFactory::instance() {
    static ViewFactory* factory = [] {
        auto* f = new ViewFactory;
        registerBuiltinViews(*f);
        return f;
    }();
    return *factory;
}

void ViewFactory::registerKind(std::uint8_t kind, ViewCreator create) { byKind_[kind] = std::move(create); }

void ViewFactory::registerClass(const std::string& className, ViewCreator create) {
    byName_[className] = std::move(create);
}

std::unique_ptr<TfrView> ViewFactory::create(std::uint8_t kind) const {
    if (kind == kKindNamedClass) return nullptr;  // needs its class name
    auto it = byKind_.find(kind);
    return it == byKind_.end() ? nullptr : it->second();
}

std::unique_ptr<TfrView> ViewFactory::createByClassName(const std::string& className) const {
    auto it = byName_.find(className);
    return it == byName_.end() ? nullptr : it->second();
}

bool ViewFactory::hasClass(const std::string& className) const { return byName_.count(className) != 0; }

}  // namespace quor

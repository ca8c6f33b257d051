#include "report/builtin_templates.h"

#include <QFile>

#include "platform/error.h"
#include "platform/resources.h"

namespace quor {

std::string builtinTemplatePath(std::string_view type, std::string_view name) {
    return ":/templates/" + std::string(type) + "_" + std::string(name) + ".frf";
}

std::string openBuiltinTemplate(std::string_view type, std::string_view name) {
    initResources();
    QFile file(QString::fromStdString(builtinTemplatePath(type, name)));
    if (!file.open(QIODevice::ReadOnly))
        throw Error("Resource " + std::string(name) + " of type " + std::string(type) +
                    " not found");
    const QByteArray bytes = file.readAll();
    return std::string(bytes.constData(), static_cast<std::size_t>(bytes.size()));
}

}  // namespace quor

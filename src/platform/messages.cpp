#include "platform/messages.h"

#include "platform/resources.h"

#include <QFile>
#include <unordered_map>

namespace quor {
namespace {

// resources/messages.tsv: one "id<TAB>text" per line; "\r" in a text stands
// for a carriage return.
std::unordered_map<int, std::string> loadTable() {
    std::unordered_map<int, std::string> table;
    initResources();
    QFile f(":/messages.tsv");
    if (!f.open(QIODevice::ReadOnly)) return table;
    while (!f.atEnd()) {
        QByteArray line = f.readLine();
        while (line.endsWith('\n') || line.endsWith('\r')) line.chop(1);
        int tab = line.indexOf('\t');
        if (tab <= 0) continue;
        bool ok = false;
        int id = line.left(tab).toInt(&ok);
        if (!ok) continue;
        std::string text = line.mid(tab + 1).toStdString();
        for (std::size_t p = 0; (p = text.find("\\r", p)) != std::string::npos;) text.replace(p, 2, "\r");
        table.emplace(id, std::move(text));
    }
    return table;
}

}  // namespace

const std::string& message(int id) {
    static const std::unordered_map<int, std::string> table = loadTable();
    static const std::string empty;
    auto it = table.find(id);
    return it == table.end() ? empty : it->second;
}

}  // namespace quor

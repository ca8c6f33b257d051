#include "platform/file_dialog.h"

#include <QFileDialog>
#include <QHeaderView>
#include <QListView>
#include <QSplitter>
#include <QTreeView>

#include <algorithm>

namespace quor {

void fitFileDialog(QFileDialog& dialog) {
    // Size, type and date follow their texts as the folder is read; the
    // name column stays the user's to widen.
    if (auto* details = dialog.findChild<QTreeView*>(QStringLiteral("treeView"))) {
        QHeaderView* header = details->header();
        for (int column = 1; column < header->count(); ++column)
            header->setSectionResizeMode(column, QHeaderView::ResizeToContents);
    }
    dialog.resize(std::max(dialog.width(), 780), std::max(dialog.height(), 460));
    auto* splitter = dialog.findChild<QSplitter*>(QStringLiteral("splitter"));
    auto* places = dialog.findChild<QListView*>(QStringLiteral("sidebar"));
    if (splitter && places && splitter->count() == 2) {
        const int placesWidth = std::max(places->sizeHintForColumn(0) + 2 * places->frameWidth() + 8, 120);
        splitter->setSizes({placesWidth, std::max(splitter->width() - placesWidth, 1)});
    }
}

}  // namespace quor

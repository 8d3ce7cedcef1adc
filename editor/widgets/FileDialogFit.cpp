#include "editor/widgets/FileDialogFit.h"

#include <QApplication>
#include <QEvent>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QHeaderView>
#include <QListView>
#include <QPointer>
#include <QScreen>
#include <QTreeView>

#include <algorithm>

namespace editor {

namespace {

constexpr int kColumns = 4; // name, size, type, date
// The name column takes at least this many average characters.
constexpr int kNameCharacters = 36;
const char* const kFittedProperty = "tabrikFitted";

QTreeView* fileList(QFileDialog& dialog) {
    return dialog.findChild<QTreeView*>(QStringLiteral("treeView"));
}

// Each of size, type and date as wide as what it shows (or its caption); the
// name column takes the rest of the list, at least its own hint.
void fitColumns(QTreeView& view) {
    QHeaderView* header = view.header();
    if (header->count() < kColumns)
        return;
    const QAbstractItemView& items = view; // the column hints are public here
    int others = 0;
    for (int column = 1; column < kColumns; ++column) {
        const int width = std::max(items.sizeHintForColumn(column), header->sectionSizeHint(column));
        header->resizeSection(column, width);
        others += width;
    }
    const int name =
        std::max({items.sizeHintForColumn(0), header->sectionSizeHint(0), view.viewport()->width() - others});
    header->resizeSection(0, name);
}

} // namespace

void FileDialogFit::install(QApplication& app) {
    static QPointer<FileDialogFit> filter;
    if (!filter) {
        filter = new FileDialogFit(&app);
        app.installEventFilter(filter);
    }
}

void FileDialogFit::fit(QFileDialog& dialog) {
    QTreeView* view = fileList(dialog);
    if (!view) // a native dialog sizes itself
        return;
    const QFontMetrics metrics(view->font());
    const auto* sidebar = dialog.findChild<QListView*>(QStringLiteral("sidebar"));
    int columns = metrics.averageCharWidth() * kNameCharacters;
    const QAbstractItemView& items = *view;
    for (int column = 1; column < kColumns && column < view->header()->count(); ++column)
        columns += std::max(items.sizeHintForColumn(column), view->header()->sectionSizeHint(column));
    // The date as the list writes it, before the folder has been read.
    columns +=
        metrics.horizontalAdvance(QLocale().toString(QDateTime::currentDateTime(), QLocale::ShortFormat)) +
        metrics.averageCharWidth() * 4;
    const int chrome = dialog.width() - view->viewport()->width() - (sidebar ? sidebar->width() : 0);
    int width = std::max(dialog.width(), columns + (sidebar ? sidebar->width() : 0) + chrome);
    int height = std::max(dialog.height(), metrics.height() * 28);
    if (const QScreen* screen = dialog.screen()) {
        const QRect room = screen->availableGeometry();
        width = std::min(width, room.width() * 9 / 10);
        height = std::min(height, room.height() * 9 / 10);
    }
    dialog.resize(width, height);
    fitColumns(*view);
    if (!dialog.property(kFittedProperty).toBool()) {
        dialog.setProperty(kFittedProperty, true);
        if (auto* model = dialog.findChild<QFileSystemModel*>()) {
            QPointer<QTreeView> list(view);
            connect(model, &QFileSystemModel::directoryLoaded, view, [list] {
                if (list)
                    fitColumns(*list);
            });
        }
    }
}

bool FileDialogFit::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::Show)
        if (auto* dialog = qobject_cast<QFileDialog*>(watched);
            dialog && !dialog->property(kFittedProperty).toBool())
            fit(*dialog);
    return QObject::eventFilter(watched, event);
}

} // namespace editor

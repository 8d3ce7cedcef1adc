#include "editor/document/ClipboardOwnership.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>

namespace editor {

namespace {

// The data we put there; compared by address only, never used: the
// clipboard deletes it when something else takes its place.
const QMimeData* g_ours = nullptr;
bool g_watching = false;

QClipboard* desktopClipboard() {
    return qobject_cast<QGuiApplication*>(QCoreApplication::instance()) ? QGuiApplication::clipboard()
                                                                        : nullptr;
}

} // namespace

void ClipboardOwnership::put(QMimeData* data) {
    QClipboard* clipboard = desktopClipboard();
    if (!clipboard) {
        delete data;
        return;
    }
    if (!g_watching) {
        g_watching = true;
        // Whatever replaces our data, from this process or another, ends our claim.
        QObject::connect(clipboard, &QClipboard::dataChanged, clipboard, [clipboard] {
            if (clipboard->mimeData() != g_ours)
                g_ours = nullptr;
        });
    }
    g_ours = data;
    clipboard->setMimeData(data);
}

bool ClipboardOwnership::holdsOurs() {
    QClipboard* clipboard = desktopClipboard();
    return clipboard && g_ours && clipboard->mimeData() == g_ours;
}

void ClipboardOwnership::releaseOurs() {
    if (holdsOurs())
        desktopClipboard()->clear();
    g_ours = nullptr;
}

} // namespace editor

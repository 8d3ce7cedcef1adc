#include "editor/document/FormDocument.h"

#include "editor/document/ClipboardOwnership.h"
#include "editor/document/DocumentUi.h"
#include "editor/document/LocalPaths.h"
#include "formdesc/AtomicFile.h"
#include "formdesc/FormReader.h"
#include "formdesc/FormRoundTrip.h"
#include "formdesc/FormWriter.h"
#include "formdesc/MessageSink.h"
#include "formdesc/OutputFile.h"
#include "formdesc/SampleRecord.h"
#include "formdesc/ShiftJis.h"

#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QMimeData>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <sys/stat.h>

namespace editor {

namespace {

constexpr const char* kNewFormPath = "NoName.zrk";

bool sameRecords(const void* a, const void* b, int count, std::size_t size) {
    const int records = std::clamp(count, 0, formdesc::kMaxItems);
    return std::memcmp(a, b, static_cast<std::size_t>(records) * size) == 0;
}

bool limitReached(int count) {
    if (count < formdesc::kMaxItems)
        return false;
    FormDocument::reportItemLimit();
    return true;
}

} // namespace

FormDocument::FormDocument(DocumentUi& ui, QObject* parent)
    : QObject(parent), m_ui(ui), m_model(std::make_unique<formdesc::FormModel>()),
      m_saved(std::make_unique<formdesc::FormModel>()), m_path(QLatin1String(kNewFormPath)) {
    m_history.reset(*m_model);
}

FormDocument::~FormDocument() = default;

void FormDocument::newForm() {
    m_model->setNewFormDefaults();
    *m_saved = *m_model;
    m_path = QLatin1String(kNewFormPath);
    m_naming = NamingState::Unnamed;
    setWindowTitle(titleFor(m_model->form));
    clearHistory();
    tellModified();
    emit recordsReplaced();
}

bool FormDocument::openForm() {
    const QString chosen = m_ui.chooseFileToOpen(m_lastFolder);
    if (chosen.isEmpty())
        return false;
    return openFormFile(chosen);
}

bool FormDocument::openFormFile(const QString& path) {
    rememberFolderOf(path);
    // The file is read into a model of its own, so that a file that cannot be
    // read or fails the check leaves the open form, its path and its saved
    // copy exactly as they were: a later Save can never write a failed file's
    // records over the previous form's file.
    auto candidate = std::make_unique<formdesc::FormModel>();
    candidate->clear();
    if (!formdesc::readFormFile(localPath(path), *candidate, formdesc::ReaderVariant::Designer))
        return false;
    // A form that the next Save could not write back as it is (a hand-written
    // text holding the file's own syntax) is refused, naming the item.
    if (const auto changed = formdesc::firstChangedItem(*candidate)) {
        formdesc::reportFormError(*changed, formdesc::MessageOrigin::Designer);
        return false;
    }
    // Copied, not swapped: views keep references to the records.
    *m_model = *candidate;
    *m_saved = *m_model;
    m_path = QFileInfo(path).absoluteFilePath();
    m_naming = NamingState::Named;
    setWindowTitle(titleFor(m_model->form));
    clearHistory();
    tellModified();
    emit recordsReplaced();
    return true;
}

bool FormDocument::saveForm() {
    if (m_naming == NamingState::Unnamed)
        return saveFormAs();
    if (!writeTo(m_path))
        return false;
    emit saved(m_path);
    return true;
}

bool FormDocument::saveFormAs() {
    const QString currentName = m_naming == NamingState::Named ? QFileInfo(m_path).fileName() : QString();
    const QString chosen = m_ui.chooseFileToSave(m_lastFolder, currentName);
    if (chosen.isEmpty())
        return false;
    rememberFolderOf(chosen);
    if (!writeTo(chosen))
        return false;
    m_path = QFileInfo(chosen).absoluteFilePath();
    emit saved(m_path);
    return true;
}

QString FormDocument::writeSampleData() {
    const std::string csv = formdesc::sampleCsv(*m_model);
    if (csv.empty()) {
        formdesc::messageSink().show(formdesc::kCaptionWarning, formdesc::kNoSlotsText,
                                     formdesc::MessageIcon::Exclamation);
        return {};
    }
    // Beside the form and named after it, as a user looks for it.
    const bool named = m_naming == NamingState::Named;
    const QString folder = named ? QFileInfo(m_path).absolutePath() : m_lastFolder;
    const QString name = (named ? QFileInfo(m_path).completeBaseName() : QStringLiteral("sample")) + ".csv";
    const QString chosen = m_ui.chooseDataFileToSave(folder, name);
    if (chosen.isEmpty())
        return {};
    if (!formdesc::writeFileAtomically(localPath(chosen), csv)) {
        const std::string reason = formdesc::systemErrorText(errno);
        formdesc::messageSink().show(formdesc::kCaptionError,
                                     "サンプルデータを保存できません: " + chosen.toStdString() + ": " +
                                         reason,
                                     formdesc::MessageIcon::Exclamation);
        return {};
    }
    return QFileInfo(chosen).absoluteFilePath();
}

bool FormDocument::writeTo(const QString& path) {
    // Only a regular file or a new name takes a form: a FIFO would block
    // the window until some reader opened it, and a device would swallow
    // the form.
    struct stat status {};
    if (::stat(localPath(path).c_str(), &status) == 0 && !S_ISREG(status.st_mode)) {
        formdesc::reportFormError(formdesc::kErrorOther, 2, 0, formdesc::MessageOrigin::Designer);
        return false;
    }
    // The writer shows its own message when the file cannot be written or
    // would not read back to the form.
    if (!formdesc::writeFormFile(localPath(path), *m_model))
        return false;
    *m_saved = *m_model;
    m_naming = NamingState::Named;
    tellModified();
    return true;
}

bool FormDocument::isModified() const {
    const formdesc::FormModel& now = *m_model;
    const formdesc::FormModel& saved = *m_saved;
    // Whole records byte for byte, bytes after a text's terminating NUL included.
    return now.fieldCount != saved.fieldCount || now.figureCount != saved.figureCount ||
           !formdesc::sameBytes(now.form, saved.form) ||
           !sameRecords(now.fields.data(), saved.fields.data(), now.fieldCount,
                        sizeof(formdesc::FieldInfo)) ||
           !sameRecords(now.figures.data(), saved.figures.data(), now.figureCount,
                        sizeof(formdesc::FigureInfo));
}

bool FormDocument::confirmDiscard() {
    if (!isModified())
        return true;
    switch (m_ui.askToSaveChanges()) {
    case SaveAnswer::Cancel:
        return false;
    case SaveAnswer::No:
        return true;
    case SaveAnswer::Yes:
        break;
    }
    return saveForm();
}

bool FormDocument::canClose() {
    if (!confirmDiscard())
        return false;
    emptyClipboard();
    return true;
}

void FormDocument::setWindowTitle(const QString& text) {
    m_windowTitle = text;
    emit titleChanged(text);
}

QString FormDocument::titleFor(const formdesc::FormInfo& form) {
    const std::string title = formdesc::sjis::toUtf8(formdesc::sjis::view(form.title));
    return QStringLiteral("Tabrik [%1]").arg(QString::fromStdString(title));
}

void FormDocument::reportItemLimit() {
    formdesc::messageSink().show(formdesc::kCaptionWarning, "登録限度に達しています",
                                 formdesc::MessageIcon::Information);
}

bool FormDocument::canAddField() const {
    return !limitReached(m_model->fieldCount);
}

bool FormDocument::canAddFigure() const {
    return !limitReached(m_model->figureCount);
}

void FormDocument::recordChange() {
    if (m_history.record(*m_model))
        tellHistoryState();
    tellModified();
}

bool FormDocument::canUndo() const {
    // A change nobody recorded is recorded by undo() and then undone.
    return m_history.canUndo() || m_history.differsFrom(*m_model);
}

bool FormDocument::canRedo() const {
    // redo() records such a change first, and a new change ends the redo.
    return m_history.canRedo() && !m_history.differsFrom(*m_model);
}

bool FormDocument::undo() {
    const formdesc::FormInfo before = m_model->form;
    const bool restored = m_history.undo(*m_model);
    if (restored)
        showRestored(before);
    tellHistoryState();
    return restored;
}

bool FormDocument::redo() {
    const formdesc::FormInfo before = m_model->form;
    const bool restored = m_history.redo(*m_model);
    if (restored)
        showRestored(before);
    tellHistoryState();
    return restored;
}

void FormDocument::showRestored(const formdesc::FormInfo& before) {
    // A title that came back shows as the form sheet's OK shows a new one.
    const std::string_view title = formdesc::sjis::view(m_model->form.title);
    if (formdesc::sjis::view(before.title) != title)
        setWindowTitle(titleFor(m_model->form));
    tellModified();
    emit recordsRestored();
}

void FormDocument::tellModified() {
    const bool modified = isModified();
    if (modified == m_toldModified)
        return;
    m_toldModified = modified;
    emit modifiedChanged(modified);
}

void FormDocument::clearHistory() {
    m_history.reset(*m_model);
    tellHistoryState();
}

std::size_t FormDocument::historyBytes() const {
    return m_history.bytes();
}

void FormDocument::tellHistoryState() {
    const bool undo = canUndo();
    const bool redo = canRedo();
    if (undo == m_toldUndo && redo == m_toldRedo)
        return;
    m_toldUndo = undo;
    m_toldRedo = redo;
    emit historyChanged();
}

void FormDocument::emptyClipboard() {
    // Another designer may have put its own items there since (one process
    // runs per form): only what this process put there is taken off.
    ClipboardOwnership::releaseOurs();
}

void FormDocument::rememberFolderOf(const QString& file) {
    QString folder = QFileInfo(file).absolutePath();
    if (!folder.endsWith(QLatin1Char('/')))
        folder += QLatin1Char('/');
    m_lastFolder = folder;
}

} // namespace editor

#pragma once

#include "editor/document/DocumentUi.h"

#include <QDir>
#include <QString>
#include <QStringList>

#include <deque>

// Answers the document's dialogs from queues filled by the test and records
// what the document asked. An empty queue answers "cancelled".
class RecordingDocumentUi : public editor::DocumentUi {
  public:
    std::deque<QString> openAnswers;
    std::deque<QString> saveAnswers;
    std::deque<QString> dataAnswers;
    std::deque<editor::SaveAnswer> questionAnswers;

    QStringList openFolders; // the start folder of every open dialog
    QStringList saveFolders; // the start folder of every save dialog
    QStringList saveNames;   // the name each save dialog offered
    QStringList dataNames;   // the name each sample data dialog offered
    int questions = 0;

    QString chooseFileToOpen(const QString& startFolder) override {
        openFolders << startFolder;
        return next(openAnswers, QString());
    }
    QString chooseFileToSave(const QString& startFolder, const QString& currentName) override {
        saveFolders << startFolder;
        saveNames << currentName;
        return next(saveAnswers, QString());
    }
    QString chooseDataFileToSave(const QString& startFolder, const QString& suggestedName) override {
        dataNames << QDir(startFolder).filePath(suggestedName);
        return next(dataAnswers, QString());
    }
    editor::SaveAnswer askToSaveChanges() override {
        ++questions;
        return next(questionAnswers, editor::SaveAnswer::Cancel);
    }

  private:
    template <typename T> static T next(std::deque<T>& queue, T fallback) {
        if (queue.empty())
            return fallback;
        T value = queue.front();
        queue.pop_front();
        return value;
    }
};

#pragma once

#include <QMessageBox>
#include <QPointer>
#include <QString>
#include <QWidget>

class QComboBox;
class QFileDialog;

#include "base/Texts.h"
#include "base/UserPrompts.h"

namespace velnor {

// The questions, messages and file dialogs of the card, file and list operations as real
// dialogs over the main window (or without an owner before it exists).
class QtPrompts : public UserPrompts {
public:
    explicit QtPrompts(const Texts &texts, QWidget *owner = nullptr)
        : texts_(texts), owner_(owner) {}

    void setOwner(QWidget *owner) { owner_ = owner; }

    bool askYesNo(const Prompt &prompt) override;
    void showMessage(MessageKind kind, const Prompt &prompt) override;
    std::optional<std::string> chooseOpenFile(const FileChoice &choice) override;
    std::optional<std::string> chooseSaveFile(const FileChoice &choice) override;
    std::optional<OpenFileAnswer> chooseOpenFileAndCodePage(const FileChoice &choice) override;
    std::optional<CodeAnswer> askCodes(const CodeRequest &request) override;

    // "Description (*.fpb *.FPB)" for each filter, joined as QFileDialog takes them.
    static QString nameFilters(const FileChoice &choice);

private:
    QString captionOf(const Prompt &prompt) const;
    // A standard button of a box with the pack's caption; Qt's own where the pack has none, as
    // before any pack is loaded, when the configuration error is shown.
    QAbstractButton *captioned(QMessageBox &box, QMessageBox::StandardButton which,
                               int captionId) const;
    // The file dialog; an open dialog with code pages to offer shows them beside its file types.
    std::optional<OpenFileAnswer> chooseFile(const FileChoice &choice, bool save);
    QComboBox *addCodePageChoice(QFileDialog &dialog, const FileChoice &choice) const;

    const Texts &texts_;
    QPointer<QWidget> owner_;
};

} // namespace velnor

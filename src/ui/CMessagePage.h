#pragma once

#include <QWidget>

class QPlainTextEdit;

#include "base/Texts.h"
#include "base/Timing.h"
#include "base/UserPrompts.h"
#include "base/WorkerPause.h"
#include "records/JoinedMessages.h"
#include "transfer/Session.h"
#include "ui/CommandStates.h"
#include "ui/MessageCommands.h"
#include "widgets/CCheckListCtrl.h"

namespace velnor {

// The message tab: the message list (1901) with its five columns, the check-all heading, rows
// coloured in turn, the Delete key, the context menu, the message editor for a double click
// and for a new message, and under the list a preview of the selected message. The list shows
// the session's messages through JoinedMessages, one row per message; every change goes through
// the session's message list, so the rows and their record images stay side by side.
class CMessagePage : public QWidget {
    Q_OBJECT

public:
    static constexpr int kMessageList = 1901;
    // Room the list keeps for the records of the largest cards.
    static constexpr size_t kReservedRows = 260;

    CMessagePage(Session &session, const Texts &texts, UserPrompts &prompts,
                 CommandStates &commands, WorkerPause &worker, const Timing &timing,
                 QWidget *parent = nullptr);
    ~CMessagePage() override;

    CCheckListCtrl *list() const { return list_; }
    QPlainTextEdit *preview() const { return preview_; }
    // The parts of a long message in one row (on) or a row per record (off).
    bool joined() const { return joined_.joined(); }
    void setJoined(bool on) { joined_.setJoined(on); }
    // Column widths from the list's width.
    void setUpList();
    // How the message editor is shown; tests drive it without a modal loop.
    void setEditorRun(MessageEditorRun run) { editorRun_ = std::move(run); }

    // A new message from the editor, appended (command 1701 on this tab).
    void composeNew();
    // Opens the first selected message in the editor (a double click, command 1703).
    void editSelected();
    // Removes every ticked message with its record image (the Delete key, command 1704).
    void deleteTicked();
    // A context menu item (5601 to 5606) chosen over row.
    void runContextCommand(int row, int item);
    // Edit, up and down are enabled while exactly one message is selected.
    void updateEntryButtons();

signals:
    // A command for the main window (from the context menu).
    void commandRequested(int id);

protected:
    void keyPressEvent(QKeyEvent *event) override;

private:
    int readableWidth(int column) const;
    MessageCommandContext commandContext() const;
    void showContextMenu(const QPoint &globalPos, int row);
    void showResult(std::optional<size_t> row);
    void followRows();

    Session &session_;
    const Texts &texts_;
    UserPrompts &prompts_;
    CommandStates &commands_;
    WorkerPause &worker_;
    JoinedMessages joined_; // before list_, which shows its rows
    CCheckListCtrl *list_;
    QPlainTextEdit *preview_;
    MessageEditorRun editorRun_ = runEditorModally;
};

} // namespace velnor

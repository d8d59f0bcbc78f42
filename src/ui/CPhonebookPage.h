#pragma once

#include <QWidget>
#include <functional>
#include <optional>

#include "base/StatusPanes.h"
#include "base/Texts.h"
#include "base/Timing.h"
#include "base/WorkerPause.h"
#include "card/EfAdn.h"
#include "transfer/Session.h"
#include "ui/CommandStates.h"
#include "widgets/CSortListCtrl.h"

class QLabel;
class QToolButton;

namespace velnor {

// The phonebook tab: the local phonebook list (1801) and the card phonebook list (1802) side by
// side, the two buttons that take ticked entries from the card list (1710) and copy ticked
// entries to it (1713), and the two labels whose colour tells which list is active.
class CPhonebookPage : public QWidget {
    Q_OBJECT

public:
    static constexpr int kLocalList = 1801;
    static constexpr int kCardList = 1802;

    // Runs the entry dialog for an entry; the entry after OK, nullopt otherwise.
    using EntryEditor = std::function<std::optional<PhoneEntry>(const PhoneEntry &)>;
    // The kept column widths of list id.
    using WidthStores = std::function<ColumnWidthStore(int listId)>;

    CPhonebookPage(Session &session, const Texts &texts, StatusLine &status,
                   CommandStates &commands, WorkerPause &worker, const Timing &timing,
                   QWidget *parent = nullptr);
    ~CPhonebookPage() override;

    void setEntryEditor(EntryEditor editor) { editor_ = std::move(editor); }
    std::optional<PhoneEntry> runEntryEditor(const PhoneEntry &entry) const;

    // Column headings from the list width, then the kept widths.
    void setUpLists(const WidthStores &stores);
    void saveColumnWidths(const WidthStores &stores) const;
    // Captions in the current language.
    void retranslate();

    CSortListCtrl *localList() const { return local_; }
    CSortListCtrl *cardList() const { return card_; }
    CSortListCtrl *activeList() const;
    void setActive(CSortListCtrl *list);
    QLabel *localLabel() const { return localLabel_; }
    QLabel *cardLabel() const { return cardLabel_; }
    QToolButton *takeButton() const { return take_; }
    QToolButton *copyButton() const { return copy_; }

    // Edits the first selected row of a list in the entry dialog.
    void editSelected(CSortListCtrl *list);
    // Moves the ticked rows of the card list to the local list (button 1710).
    void takeFromCard();
    // Copies the ticked rows of the local list to the card list (button 1713).
    void copyToCard();
    // Removes every ticked row of the active list (the Delete key).
    void deleteTicked();
    // Removes one row of a list and numbers the rest again (context menu 5604).
    void deleteRow(CSortListCtrl *list, int row);
    // A context menu item (5601 to 5606) chosen over row of list.
    void runContextCommand(CSortListCtrl *list, int row, int item);
    // Enables the entry buttons when exactly one row of the list is selected.
    void updateEntryButtons(const CSortListCtrl *list);

signals:
    // A command for the main window (from the context menu).
    void commandRequested(int id);

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    CSortListCtrl *makeList(RowList &rows, int id);
    void showContextMenu(CSortListCtrl *list, const QPoint &globalPos, int row);
    void paintLabels();

    Session &session_;
    const Texts &texts_;
    StatusLine &status_;
    CommandStates &commands_;
    WorkerPause &worker_;
    const Timing &timing_;
    EntryEditor editor_;
    CSortListCtrl *local_;
    CSortListCtrl *card_;
    QLabel *localLabel_;
    QLabel *cardLabel_;
    QToolButton *take_;
    QToolButton *copy_;
};

} // namespace velnor

#pragma once

#include <QApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <QString>
#include <QTableView>
#include <QTest>
#include <QWidget>
#include <gtest/gtest.h>

#include "records/CardState.h"
#include "support/EnglishTexts.h"
#include "support/ScriptedPrompts.h"

namespace velnor::test {

// What a dialog is given: the built-in English texts, questions answered from a script and the
// card it edits for.
class DialogFixture : public ::testing::Test {
protected:
    EnglishTexts texts;
    ScriptedPrompts prompts;
    CardState card;
};

// Types text into a widget one character at a time, as a keyboard with an input method would:
// QTest's key clicks know only the characters of a US keyboard.
inline void typeText(QWidget *widget, const QString &text) {
    for (qsizetype i = 0; i < text.size(); ++i) {
        const qsizetype width = text.at(i).isHighSurrogate() && i + 1 < text.size() ? 2 : 1;
        const QString character = text.mid(i, width);
        i += width - 1;
        QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, character);
        QApplication::sendEvent(widget, &press);
        QKeyEvent release(QEvent::KeyRelease, Qt::Key_unknown, Qt::NoModifier, character);
        QApplication::sendEvent(widget, &release);
    }
}

// Clicks the middle of a list's column heading.
inline void clickHeading(QTableView *list, int section) {
    QHeaderView *header = list->horizontalHeader();
    QTest::mouseClick(
        header->viewport(), Qt::LeftButton, {},
        QPoint(header->sectionViewportPosition(section) + header->sectionSize(section) / 2,
               header->height() / 2));
}

} // namespace velnor::test

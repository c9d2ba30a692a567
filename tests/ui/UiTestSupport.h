#pragma once
// Helpers for the editor and tool dialog tests: typing and choosing the way
// a user does (keyboard events), and a play list and card session on a
// virtual card at port 1 with a recording user interface.

#include "common/RecordingUserInterface.h"
#include "link/PortNaming.h"
#include "common/OutcomePrinting.h"
#include "model/CardSession.h"
#include "model/PlayList.h"
#include "sim/VirtualCard.h"

#include <QAbstractSpinBox>
#include <QComboBox>
#include <QLineEdit>
#include <QTest>
#include <gtest/gtest.h>

namespace UiTest {

// Replaces the text of a field as a user would: select all, then type.
inline void retype(QWidget *field, const QString &text)
{
    field->setFocus();
    QTest::keyClick(field, Qt::Key_A, Qt::ControlModifier);
    if (text.isEmpty())
        QTest::keyClick(field, Qt::Key_Delete);
    else
        QTest::keyClicks(field, text);
}

// Picks entry `index` of a closed combo box with the arrow keys (each step
// is a user choice, as on the real keyboard).
inline void choose(QComboBox *combo, int index)
{
    combo->setFocus();
    for (int at = combo->currentIndex(); at > index; --at)
        QTest::keyClick(combo, Qt::Key_Up);
    for (int at = combo->currentIndex(); at < index; ++at)
        QTest::keyClick(combo, Qt::Key_Down);
}

inline QString fieldText(const QWidget *field)
{
    if (auto *spin = qobject_cast<const QAbstractSpinBox *>(field))
        return spin->text();
    if (auto *edit = qobject_cast<const QLineEdit *>(field))
        return edit->text();
    return {};
}

} // namespace UiTest

// A play list and its card session on a running virtual card (port 1, link
// configured as after a card search), as the main window holds them.
class CardDialogTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(card.start()) << card.errorString().toStdString();
        PortNaming::setExplicitDevices({card.devicePath()});
        session.shareRecordsWith(list);
        session.setPort(1);
        ASSERT_EQ(session.open(1), kOk);
    }
    void TearDown() override
    {
        PortNaming::setExplicitDevices({});
        card.stop();
    }

    // Commands the card received, in order.
    std::vector<int> commands() const
    {
        std::vector<int> out;
        for (const VirtualCard::LogEntry &e : card.log())
            if (e.request.size() > 13)
                out.push_back(uint8_t(e.request[13]));
        return out;
    }

    bool lastMessageIs(const QString &text, const QString &caption) const
    {
        return !ui.messages.empty() && ui.messages.back().text == text &&
               ui.messages.back().caption == caption;
    }

    VirtualCard card;
    PlayList list;
    CardSession session;
    RecordingUserInterface ui;
};

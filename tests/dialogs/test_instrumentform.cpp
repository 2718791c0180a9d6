// The Instrument window as the operator uses it: the kind buttons rewrite the
// link and the line below says what it means, a row of the list is picked,
// command sets are edited, saved and deleted, and OK keeps the choice in the
// user key (or refuses an address that means nothing).
#include "controls/stalignedit.h"
#include "controls/stspeedbutton.h"
#include "dialogs/u_instrumentform.h"
#include "dialogtesting.h"
#include "platform/registry.h"

#include <QLabel>

#include <cstring>

namespace {

struct InstrumentWindow : ::testing::Test {
    testsupport::TemporaryRegistry registry;
    testsupport::MessageBoxRecorder boxes{QMessageBox::Yes};

    template <typename T> T *Find(QWidget &w, const char *name) {
        T *found = w.findChild<T *>(QString::fromLatin1(name));
        EXPECT_TRUE(found) << name;
        return found;
    }
    void Click(QWidget &w, const char *name) {
        QTest::mouseClick(Find<TstSpeedButton>(w, name), Qt::LeftButton);
    }
    void Type(QWidget &w, const char *name, const QString &text) {
        TstAlignEdit *edit = Find<TstAlignEdit>(w, name);
        edit->setFocus();
        edit->selectAll();
        if (text.isEmpty())
            QTest::keyClick(edit, Qt::Key_Backspace);
        else
            QTest::keyClicks(edit, text);
    }
    // Clicks a row of one of the window's lists (rows are 15 pixels apart),
    // scrolled into view first.
    void ClickRow(QWidget &w, const char *list, int row) {
        TstGrid *grid = Find<TstGrid>(w, list);
        grid->SetTopRow(row);
        QTest::mouseClick(grid, Qt::LeftButton, {}, QPoint(20, (row - grid->TopRow()) * 15 + 7));
    }
};

TEST_F(InstrumentWindow, KindButtonsRewriteTheLinkAndTheLineBelowSaysWhatItMeans) {
    TInstrumentForm form;
    form.SetInstrument({"TCPIP0::10.0.0.5::5025::SOCKET", "SCPI POWer"});
    auto *link = Find<TstAlignEdit>(form, "ELink");
    auto *state = Find<QLabel>(form, "LLinkState");
    const QString serial = SerialPorts().value(0, "/dev/ttyUSB0");
    struct Case {
        const char *button; // or nothing: `typed` is typed
        QString typed;
        QString link;
        QString state;
        const char *down;
    } cases[] = {
        {nullptr, "", "TCPIP0::10.0.0.5::5025::SOCKET", "SCPI over TCP to 10.0.0.5:5025",
         "BSocket"},
        {"BGpibLan", "", "GPIB0::0::INSTR via 10.0.0.5:1234",
         "GPIB address 0 behind the LAN-GPIB adapter at 10.0.0.5:1234", "BGpibLan"},
        {nullptr, "GPIB0::19::INSTR via 10.0.0.5:1300", "GPIB0::19::INSTR via 10.0.0.5:1300",
         "GPIB address 19 behind the LAN-GPIB adapter at 10.0.0.5:1300", "BGpibLan"},
        {"BGpibSerial", "", "GPIB0::19::INSTR via " + serial,
         "GPIB address 19 behind the USB-GPIB adapter on " + serial, "BGpibSerial"},
        {"BGpibLan", "", "GPIB0::19::INSTR via 192.168.1.20:1234",
         "GPIB address 19 behind the LAN-GPIB adapter at 192.168.1.20:1234", "BGpibLan"},
        {"BSocket", "", "TCPIP0::192.168.1.20::5025::SOCKET", "SCPI over TCP to 192.168.1.20:5025",
         "BSocket"},
        {nullptr, "GPIB0::40", "GPIB0::40", "A GPIB address is 0 to 30, not 40.", nullptr},
        {nullptr, "/dev/usbtmc7", "/dev/usbtmc7", "USBTMC device /dev/usbtmc7", "BUsbtmc"},
        {nullptr, "USB0::0x0001::0x0002::NONE::INSTR", "USB0::0x0001::0x0002::NONE::INSTR",
         "USBTMC device USB0::0x0001::0x0002::NONE::INSTR (not connected now)", "BUsbtmc"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.link.toStdString());
        if (c.button)
            Click(form, c.button);
        else if (!c.typed.isEmpty())
            Type(form, "ELink", c.typed);
        EXPECT_EQ(link->text(), c.link);
        EXPECT_EQ(state->text(), c.state);
        for (const char *b : {"BSocket", "BGpibLan", "BGpibSerial", "BUsbtmc"})
            EXPECT_EQ(Find<TstSpeedButton>(form, b)->Down(), c.down && !std::strcmp(b, c.down))
                << b;
    }
}

TEST_F(InstrumentWindow, CommandSetsAreEditedSavedDeletedAndOkKeepsTheChoice) {
    Instrument::RememberLink("10.0.0.8");
    Instrument::RememberLink("GPIB0::7::INSTR via 10.0.0.9:1234");
    TInstrumentForm form;
    form.SetInstrument({"10.0.0.1", "SCPI LEVel"});
    auto *level = Find<TstAlignEdit>(form, "ELevel");
    EXPECT_EQ(level->text(), "LEV {dbm}");
    // The recent links follow the machine's ports and devices.
    const int recent = int(SerialPorts().size() + UsbtmcDevices().size());
    ClickRow(form, "LinkList", recent + 1);
    EXPECT_EQ(Find<TstAlignEdit>(form, "ELink")->text(), "10.0.0.8");
    ClickRow(form, "LinkList", recent);
    EXPECT_EQ(Find<TstAlignEdit>(form, "ELink")->text(), "GPIB0::7::INSTR via 10.0.0.9:1234");

    // A built-in set is changed and saved under a name of its own.
    ClickRow(form, "SetList", 0);
    EXPECT_EQ(level->text(), "POW {dbm}");
    Type(form, "ELevel", "AMPL {dbm} DBM");
    Click(form, "BSaveSet"); // still named "SCPI POWer"
    ASSERT_EQ(boxes.boxes.size(), 1u);
    EXPECT_EQ(boxes.boxes[0].text, "\"SCPI POWer\" is a built-in command set; save the changed "
                                   "set under a name of its own.");
    Type(form, "ESetName", "Amplitude");
    Click(form, "BSaveSet");
    EXPECT_EQ(boxes.boxes.size(), 1u);
    const std::optional<TCommandSet> saved = Instrument::FindCommandSet("Amplitude");
    ASSERT_TRUE(saved);
    EXPECT_EQ(saved->Level, "AMPL {dbm} DBM");
    EXPECT_EQ(saved->Frequency, "FREQ {hz}");
    EXPECT_EQ(dialogtesting::Column(*Find<TstGrid>(form, "SetList"), 0),
              QStringList({"SCPI POWer", "SCPI LEVel", "Amplitude"}));
    EXPECT_EQ(Find<TstGrid>(form, "SetList")->Row(), 2);

    // Built-in sets stay; the operator's own go after a question.
    ClickRow(form, "SetList", 1);
    Click(form, "BDeleteSet");
    EXPECT_EQ(boxes.boxes.back().text, "\"SCPI LEVel\" is built in and cannot be deleted.");
    ClickRow(form, "SetList", 2);
    boxes.setAnswer(QMessageBox::No);
    Click(form, "BDeleteSet");
    EXPECT_EQ(boxes.boxes.back().text, "Delete the command set \"Amplitude\"?");
    EXPECT_TRUE(Instrument::FindCommandSet("Amplitude"));

    // OK with lines changed but not saved asks; No takes the set as saved.
    Type(form, "ECompletion", "");
    Click(form, "BOk");
    EXPECT_EQ(boxes.boxes.back().text, "The command set \"Amplitude\" has changes. Save them?");
    EXPECT_EQ(form.ModalResult(), mrOk);
    const TInstrument chosen = {"GPIB0::7::INSTR via 10.0.0.9:1234", "Amplitude"};
    EXPECT_EQ(form.Chosen(), chosen);
    EXPECT_EQ(Instrument::Chosen(), chosen);
    EXPECT_EQ(Instrument::FindCommandSet("Amplitude")->Completion, "*OPC?");
    EXPECT_EQ(Instrument::RecentLinks().first(), chosen.Link);
}

TEST_F(InstrumentWindow, OkRefusesALinkThatMeansNothingAndCancelKeepsTheOldChoice) {
    Instrument::Choose({"TCPIP0::10.0.0.2::5025::SOCKET", "SCPI POWer"});
    TInstrumentForm form;
    const std::optional<TInstrument> chosen = dialogtesting::WithUser(
        [&] {
            EXPECT_EQ(Find<TstAlignEdit>(form, "ELink")->text(), "TCPIP0::10.0.0.2::5025::SOCKET");
            Type(form, "ELink", "GPIB0::5::INSTR");
            Click(form, "BOk");
            ASSERT_EQ(boxes.boxes.size(), 1u);
            EXPECT_TRUE(
                boxes.boxes[0].text.startsWith("\"GPIB0::5::INSTR\": name the GPIB adapter"));
            EXPECT_EQ(form.ModalResult(), mrNone);
        },
        [&] { return form.AskInstrument(Instrument::Chosen()); });
    EXPECT_EQ(chosen, std::nullopt);
    EXPECT_EQ(Instrument::Chosen(), (TInstrument{"TCPIP0::10.0.0.2::5025::SOCKET", "SCPI POWer"}));
}

} // namespace

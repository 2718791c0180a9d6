// TInstrumentForm: the "Instrument" window, where the operator chooses how
// the automatic calibration reaches its signal generator: the link (written
// as its resource text, with a button per kind of link, the machine's serial
// ports and USBTMC devices and the links used last to pick from) and the
// command set (the built-in SCPI sets and the operator's own, edited and saved
// here). The sweep window and the verification window open it:
//
//     TInstrumentForm form(this);
//     if (const auto chosen = form.AskInstrument(Instrument::Chosen())) use(*chosen);
//
// OK keeps the choice in the user key (Instrument::Choose), so any window or
// program that asks Instrument::Chosen() later gets it. The window never
// talks to the generator.
#pragma once

#include "controls/stform.h"
#include "generator/commandset.h"
#include "generator/instrument.h"
#include "generator/linkaddress.h"

#include <QStringList>

#include <optional>

#include <vector>

class QLabel;
class TstAlignEdit;
class TPickList;

class TInstrumentForm : public TstForm {
    Q_OBJECT
public:
    explicit TInstrumentForm(QWidget *parent = nullptr);
    ~TInstrumentForm() override;

    // Shows this choice; lists the ports, devices, recent links and command
    // sets afresh.
    void SetInstrument(const TInstrument &instrument);
    // The choice; after OK the one kept.
    TInstrument Chosen() const { return chosen_; }
    // The modal run from `current`: the choice kept with OK, or nothing.
    std::optional<TInstrument> AskInstrument(const TInstrument &current);

private:
    void Relist();
    void ShowLinkState();
    void KindClick(TLinkKind kind);
    void PickLink(int row);
    void PickSet(int row);
    TCommandSet EditedSet() const;
    void ShowSet(const TCommandSet &set);
    bool SaveSet();
    void BSaveSetClick();
    void BDeleteSetClick();
    void BOkClick();

    TstAlignEdit *ELink_ = nullptr;
    QLabel *LLinkState_ = nullptr;
    std::vector<std::pair<TLinkKind, TstSpeedButton *>> kindButtons_;
    TPickList *links_ = nullptr;
    TPickList *sets_ = nullptr;
    std::vector<std::pair<QString TCommandSet::*, TstAlignEdit *>> setFields_;

    QStringList serialPorts_;
    std::vector<TUsbtmcDevice> usbtmc_;
    QStringList linkRows_; // the link each row of the list gives
    std::vector<TCommandSet> commandSets_;
    int shownSet_ = -1; // the set the editor was filled from
    TInstrument chosen_;
};

// The one generator of the program: a link (socket, GPIB adapter, USBTMC)
// driven by a command set. Each setting is sent, then the completion query is
// asked (when the set has one) and the error query (likewise); a non-zero
// error code fails the setting with the instrument's own text.
//
// The link belongs to the thread that calls Connect(); use the object from
// that thread only (Abort() and Resume() excepted).
#pragma once

#include "generator/commandset.h"
#include "generator/generator.h"
#include "generator/links.h"

#include <memory>

class TLinkGenerator : public TGenerator {
public:
    TLinkGenerator(std::unique_ptr<TLink> link, TCommandSet commands);
    ~TLinkGenerator() override;

    // Opens the link; the answer to the identity query (printable text), or,
    // for a set without one, the link's address.
    QString Connect() override;
    void SetFrequency(std::uint64_t hz) override;
    void SetLevel(double dbm) override;
    void SetOutput(bool on) override;
    // The answer to the error query; "0" for a set without one.
    QString ReadError() override;
    void Disconnect() override;
    void Abort() override { link_->Abort(); }
    void Resume() override { link_->Resume(); }
    QString Address() const override { return link_->Address(); }

    const TCommandSet &Commands() const { return commands_; }
    TLink &Link() { return *link_; }

private:
    void Setting(const QByteArray &command);

    std::unique_ptr<TLink> link_;
    TCommandSet commands_;
};

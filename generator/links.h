// The transports to a generator: lines of text out, one answer line back.
//
// Every operation blocks until done or until the link's time cap has passed,
// so a link is used on a worker thread only, from the thread that opened it
// (Abort() and Resume() excepted). Failures throw TGeneratorError with a text
// that names the address and says what went wrong. An answer is one line of
// printable text of at most 64 KiB that comes within the time cap; anything
// else ends the exchange with a message that shows what came back and asks
// whether the address is the instrument's. Before each query, stray lines
// that the instrument sent unasked are dropped, so that an answer always
// belongs to its query.
#pragma once

#include "generator/generator.h"
#include "generator/linkaddress.h"

#include <QByteArray>
#include <QString>

#include <atomic>
#include <memory>

class TLink {
public:
    static constexpr int kDefaultTimeoutMs = 3000;
    // Waits are cut into slices of this length, so that Abort() acts at once.
    static constexpr int kSliceMs = 50;

    TLink(TLinkAddress address, int timeoutMs);
    virtual ~TLink() = default;
    TLink(const TLink &) = delete;
    TLink &operator=(const TLink &) = delete;

    // Opens the link (and sets up an adapter); closes one that was open.
    virtual void Open() = 0;
    // Closes the link; never throws.
    virtual void Close() = 0;
    // One command line, without answer.
    virtual void Send(const QByteArray &command) = 0;
    // One query and its answer line, without the line end.
    virtual QByteArray Query(const QByteArray &query) = 0;

    void Abort() { aborted_ = true; }
    void Resume() { aborted_ = false; }

    const TLinkAddress &Where() const { return address_; }
    // As the messages name the instrument.
    QString Address() const { return address_.Address(); }
    int TimeoutMs() const { return timeoutMs_; }

    // Throws "Signal generator <address>: <what>".
    [[noreturn]] void Fail(const QString &what) const;

protected:
    void CheckAborted() const;

private:
    TLinkAddress address_;
    int timeoutMs_;
    std::atomic<bool> aborted_{false};
};

// The link that an address describes (not yet open).
std::unique_ptr<TLink> CreateLink(const TLinkAddress &address,
                                  int timeoutMs = TLink::kDefaultTimeoutMs);

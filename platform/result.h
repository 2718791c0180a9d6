// The outcome of an operation below the windows: success, or a failure with
// the message the user is to see. The layers below app/ and dialogs/ never
// show a message box; the windows show Message() (platform::ShowFailure) and
// k740cal prints it.
//
// A failure may hold back the last steps of its clean-up (closing a handle
// the attempt took, unloading a library it loaded) until the result is
// destroyed or Release() is called. A window therefore shows the message
// first and the clean-up follows, in the order the program keeps; a caller
// that has nothing to show lets the result go at once.
#pragma once

#include <QString>

#include <functional>
#include <utility>

namespace platform {

class [[nodiscard]] TResult {
public:
    // Success.
    TResult() = default;
    // A failure. An empty message is a failure that has nothing to tell (a
    // library result outside its message table): it stops the operation,
    // and nothing is shown for it.
    static TResult Failure(QString message, std::function<void()> cleanUp = {});

    TResult(TResult &&other) noexcept;
    TResult &operator=(TResult &&other) noexcept;
    TResult(const TResult &) = delete;
    TResult &operator=(const TResult &) = delete;
    ~TResult() { Release(); }

    bool Ok() const { return !failed_; }
    explicit operator bool() const { return Ok(); }
    const QString &Message() const { return message_; }

    // Runs the held-back clean-up now; it runs once.
    void Release();

private:
    bool failed_ = false;
    QString message_;
    std::function<void()> cleanUp_;
};

} // namespace platform

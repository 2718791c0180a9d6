// One answer line of an instrument, gathered from whatever pieces the link
// delivers, with the checks that keep a wrong peer from stalling the program:
// at most kMaxAnswer bytes, printable text only. What came back is kept (up to
// the cap) so that a refusal can show it.
#pragma once

#include <QByteArray>
#include <QString>

class TAnswerLine {
public:
    static constexpr qsizetype kMaxAnswer = 64 * 1024;
    static constexpr qsizetype kExcerpt = 60;

    enum class TState { sIncomplete, sComplete, sTooLong, sNotText };

    // Takes the next piece; everything after the line end is stray and
    // dropped. Once the line is complete or refused, further pieces change
    // nothing.
    TState Add(const QByteArray &piece);
    TState State() const { return state_; }
    // The line without its end (LF, or CR LF).
    QByteArray Line() const;
    // Everything received for the line so far (at most kMaxAnswer + 1 bytes).
    const QByteArray &Received() const { return received_; }

    // The first kExcerpt bytes, quoted, with non-printable bytes escaped
    // (\r, \n, \t, \0, \xHH) and an ellipsis when there was more.
    static QString Excerpt(const QByteArray &bytes);
    // A web server's status line ("HTTP/1.1 400 Bad Request").
    static bool IsHttpStatus(const QByteArray &line);

private:
    QByteArray received_;
    TState state_ = TState::sIncomplete;
};

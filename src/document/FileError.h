#pragma once

#include <QString>

#include <optional>
#include <utility>

class Prompts;

// Why a file could not be read or written: the system's error number (errno), or content that is
// not in the file's format. Expected failures travel as values of this type, in a FileResult, up
// to the command, which shows them with showFailure; exceptions are left to the unexpected.
struct FileError {
    // Content that is not in the file's format; no errno has this value.
    static constexpr int kFormat = -1;

    int code = 0;

    static FileError format() { return {kFormat}; }
    // The German reason for the common causes, the system's own text for any other.
    QString reason() const;
    bool operator==(const FileError &) const = default;
};

// A value read from a file or made by writing one, or the reason there is none.
template <class T>
class [[nodiscard]] FileResult {
public:
    FileResult(T value) : m_value(std::move(value)) {}
    FileResult(FileError error) : m_error(error) {}

    explicit operator bool() const { return m_value.has_value(); }
    T &operator*() { return *m_value; }
    const T &operator*() const { return *m_value; }
    T *operator->() { return &*m_value; }
    const T *operator->() const { return &*m_value; }
    FileError error() const { return m_error; }

private:
    std::optional<T> m_value;
    FileError m_error;
};

// The outcome of an operation on a file that yields nothing but success.
template <>
class [[nodiscard]] FileResult<void> {
public:
    FileResult() = default;
    FileResult(FileError error) : m_error(error) {}

    explicit operator bool() const { return m_error.code == 0; }
    FileError error() const { return m_error; }

private:
    FileError m_error;
};

// The informative text of a failure's message box: the file's name and the reason,
// "Begehung.mal: Keine Berechtigung". Empty without a reason (code 0).
QString failureDetail(const QString &path, FileError error);
QString failureDetail(const QString &path, const QString &reason);

// Shows an expected failure of a command on a file: the command's own text as the message, with
// its caption (empty: the platform's), the error icon and OK, and failureDetail as the box's
// informative text. The one place such failures reach the user. A file format with reasons of its
// own (the details file's "Größer als 1 MB") gives its reason as a text.
void showFailure(Prompts &prompts, const QString &caption, const QString &text, const QString &path,
                 FileError error);
void showFailure(Prompts &prompts, const QString &caption, const QString &text, const QString &path,
                 const QString &reason);

#pragma once
// Error classes that travel from components to the application's one error
// handler. Each carries its user-facing text.
#include <QByteArray>
#include <QString>
#include <exception>

class AppError : public std::exception {
public:
    explicit AppError(QString message) : m_message(std::move(message)), m_utf8(m_message.toUtf8()) {}
    const QString& message() const noexcept { return m_message; }
    const char* what() const noexcept override { return m_utf8.constData(); }

private:
    QString m_message;
    QByteArray m_utf8;
};

// Preference bag errors ("No item specified", "Invalid font in INI file", ...).
class EBagError : public AppError {
public:
    using AppError::AppError;
};

// Settings store write failures ("Unable to write to %s"), with the reason
// the system gave ("Permission denied") when there is one.
class EIniError : public AppError {
public:
    explicit EIniError(QString message, QString reason = QString())
        : AppError(std::move(message)), m_reason(std::move(reason)) {}
    const QString& reason() const noexcept { return m_reason; }

private:
    QString m_reason;
};

// Editor position errors ("Invalid line or paragraph index").
class EEditorError : public AppError {
public:
    using AppError::AppError;
};

// A file that cannot be read or written, with the reason alone ("Permission
// denied") when the thrower knows it apart from the message.
class EFileError : public AppError {
public:
    explicit EFileError(QString message, QString reason = QString())
        : AppError(std::move(message)), m_reason(std::move(reason)) {}
    const QString& reason() const noexcept { return m_reason; }

private:
    QString m_reason;
};

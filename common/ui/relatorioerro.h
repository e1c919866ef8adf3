#pragma once
// The application-wide error report: an error no screen catches ends the action in progress and
// is shown in a stop-icon box titled with the application's title. Abort (a validation that
// already showed its own box) ends the action silently.

#include "data/dataset.h"

#include <QApplication>
#include <QString>
#include <exception>

// The application's title: the program file's name without its extension.
QString tituloAplicacao();

// The message as the report shows it: a full stop is appended when the last character sorts
// after the full stop (a letter or a digit, but not "!" or ")").
QString mensagemDoErro(const QString& mensagem);

// Shows the error box (through the dialogs service). Abort shows nothing. A lost or unreachable
// server and a row locked by another workstation are named in Portuguese on a first line, the
// server's message following.
void relataErro(const std::exception& e);
void relataErro(const QString& mensagem);

// Runs an action; Abort ends it silently, any other error reaches the report.
// Returns true when the action ran to its end.
template <class F> bool protegido(F&& f)
{
    try {
        f();
        return true;
    } catch (const Abort&) {
    } catch (const std::exception& e) {
        relataErro(e);
    }
    return false;
}

// QApplication whose event delivery reports an exception escaping any event handler instead of
// letting it end the program.
class Aplicacao : public QApplication
{
    Q_OBJECT
public:
    Aplicacao(int& argc, char** argv);
    bool notify(QObject* receiver, QEvent* event) override;
};

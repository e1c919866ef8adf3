#pragma once
// The system asking the program to end (SIGTERM at shutdown or logout, SIGHUP when the session
// goes, SIGINT from a terminal) reaches the event loop as a signal of this object, so the program
// ends as its own exit does: the session's exit time written, the connection closed. Made after
// the first connection: the database client library sets handlers of its own for these signals
// on its first use, and they end its connections under the program's feet.

#include <QObject>

class QSocketNotifier;

class AvisoDeSinal : public QObject
{
    Q_OBJECT
public:
    explicit AvisoDeSinal(QObject* parent = nullptr);
    ~AvisoDeSinal() override; // the handlers found are put back

Q_SIGNALS:
    void recebido(int sinal);

private:
    QSocketNotifier* notificador_ = nullptr;
};

#pragma once
// Client of the WhatsApp messaging gateway that delivers the temporary passwords of the recovery.
// One HTTPS POST of a JSON object {"token", "numero", "mensagem"} to the gateway's endpoint (the
// parameter urlwhatappgw); the gateway has accepted the message when it answers 2xx without an
// "erro" member. The format is described in users/README.md.

#include <QString>
#include <QUrl>

class GatewayWhatsApp
{
public:
    struct Resultado
    {
        bool enviado = false;
        QString motivo; // why it was not sent, in Portuguese
    };

    // An empty endpoint takes the parameter urlwhatappgw at each sending.
    explicit GatewayWhatsApp(const QUrl& endereco = QUrl(), int limiteMs = 20000);

    void setEndereco(const QUrl& endereco) { endereco_ = endereco; }
    QUrl endereco() const;
    void setLimite(int ms) { limiteMs_ = ms; }
    int limite() const { return limiteMs_; }

    // Sends and waits for the answer (busy cursor, no user input meanwhile), at most the time limit.
    Resultado envia(const QString& token, const QString& celular, const QString& texto) const;

    // Why the message may not go to this address; empty when it may. The token and the temporary
    // password travel only over https; plain http only to a gateway on this machine.
    static QString recusaEndereco(const QUrl& url);

    // The body of the request.
    static QByteArray corpo(const QString& token, const QString& celular, const QString& texto);

private:
    QUrl endereco_;
    int limiteMs_;
};

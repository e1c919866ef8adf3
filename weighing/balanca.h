#pragma once
// The link to the counter's scale: one complete exchange per weighing (open, configure, send Ctrl+E,
// read one 7-byte frame, decode, close). The port is never held open between weighings.

#include <QByteArray>
#include <QString>
#include <functional>
#include <optional>

class Balanca
{
public:
    explicit Balanca(QString porta = portaPadrao());

    // How the last exchange ended, for the counter to show under its button.
    enum class Evento {
        Nenhum,        // no exchange yet
        PortaNaoAbriu, // the device could not be opened
        PortaRecusou,  // its line settings were refused
        EnvioFalhou,   // the request was not written
        LeituraFalhou, // the read call failed
        SemResposta,   // no frame, or a short one, within the timeouts
        PratoVazio,    // 00.000
        Instavel,
        Negativo,
        Sobrecarga,
        Ilegivel, // weight characters that are not digits
        Lido,
    };
    Evento evento() const { return evento_; }
    // The weight read by the last exchange (Evento::Lido).
    double pesoLido() const { return pesoLido_; }
    // The event in the operator's words ("Balança não respondeu", "Peso lido: 0,450 kg").
    static QString textoDoEvento(Evento evento, double kg = 0);

    // An unstable reading ends the exchange without its message box: the caller asks again and
    // gives the message itself when the scale stays unstable (avisoInstavel).
    void setCalaInstavel(bool sim) { calaInstavel_ = sim; }
    static QString avisoInstavel();

    // The parameter PortaBalanca when the store holds one, otherwise COM3 ("\\.\COM3" on Windows,
    // "/dev/ttyS2" elsewhere).
    static QString portaPadrao();

    // The weight text of a 7-byte frame ("05.250" for STX 05250 ETX), or empty text when BytesRead
    // is not 7. The first and last bytes are not examined.
    static QString ExtrairPesoPrt5(const QByteArray& Buffer, int BytesRead);

    // One complete exchange, writing its progress to log one line at a time. Returns the weight in kg
    // when one was read; std::nullopt when the exchange failed or was cancelled (the user has already
    // seen why). A frame whose weight characters are not numbers throws ErroConversao (a
    // std::runtime_error), after the port is closed.
    std::optional<double> EnviarCtrlELerRespostaCOM3(const std::function<void(const QString&)>& log);

    const QString& porta() const { return porta_; }

private:
    QString porta_;
    Evento evento_ = Evento::Nenhum;
    double pesoLido_ = 0;
    bool calaInstavel_ = false;
};

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
};

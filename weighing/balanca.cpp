#include "balanca.h"

#include "common/dialogos.h"
#include "common/parametros.h"
#include "common/texto.h"

#include <QDeadlineTimer>
#include <QSerialPort>
#include <QThread>

namespace {
const QByteArray DataEnviar("\x05\x00", 2);
constexpr int TamanhoQuadro = 7;
constexpr int PausaAntesDaLeituraMs = 200;
constexpr int IntervaloLeituraMs = 50;                    // between two bytes of the frame
constexpr int TotalLeituraMs = 10 * TamanhoQuadro + 1000; // 10 ms a byte plus 1 s: 1070 ms
constexpr int EscritaMs = 1000; // 2 bytes without flow control leave at once; this only guards a stuck device

bool soDigitos(const QString& s)
{
    for (QChar c : s)
        if (c < u'0' || c > u'9') return false;
    return !s.isEmpty();
}

// A line setting the device cannot have (a pseudo-terminal or a virtual port has no modem lines)
// does not stop the weighing; a real refusal does.
bool linhaRecusada(QSerialPort& porta, bool ok)
{
    if (ok) return false;
    const bool semSuporte = porta.error() == QSerialPort::UnsupportedOperationError;
    porta.clearError();
    return !semSuporte;
}

// Reads up to n bytes the way the scale's timeouts are set: the whole read ends after the total
// timeout, and once the first byte has come, a gap of more than the interval between two bytes
// ends it too. A frame arriving in several pieces inside those limits is one frame.
// Returns false when the read itself failed.
bool lerQuadro(QSerialPort& porta, QByteArray& buffer, int n)
{
    QDeadlineTimer total(TotalLeituraMs);
    while (buffer.size() < n) {
        if (porta.bytesAvailable() == 0) {
            qint64 espera = total.remainingTime();
            if (!buffer.isEmpty()) espera = qMin<qint64>(espera, IntervaloLeituraMs);
            if (espera <= 0) return true;
            porta.clearError();
            if (!porta.waitForReadyRead(int(espera)))
                return porta.error() == QSerialPort::TimeoutError || porta.error() == QSerialPort::NoError;
        }
        const QByteArray parte = porta.read(n - buffer.size());
        if (parte.isEmpty() && porta.error() != QSerialPort::NoError) return false;
        buffer += parte;
    }
    return true;
}

// The scale's own markers in place of the digits.
Balanca::Evento marcadorDoQuadro(const QByteArray& cincoCaracteres)
{
    if (cincoCaracteres == "IIIII") return Balanca::Evento::Instavel;
    if (cincoCaracteres == "NNNNN") return Balanca::Evento::Negativo;
    if (cincoCaracteres == "SSSSS") return Balanca::Evento::Sobrecarga;
    return Balanca::Evento::Nenhum;
}

QString avisoDoMarcador(Balanca::Evento e)
{
    switch (e) {
    case Balanca::Evento::Instavel:
        return Balanca::avisoInstavel();
    case Balanca::Evento::Negativo:
        return QStringLiteral("Peso negativo na balança: verifique a tara e pese novamente");
    case Balanca::Evento::Sobrecarga:
        return QStringLiteral("Sobrecarga na balança: o peso passa do limite");
    default:
        return {};
    }
}
} // namespace

Balanca::Balanca(QString porta) : porta_(std::move(porta)) {}

QString Balanca::avisoInstavel()
{
    return QStringLiteral("Peso instável: aguarde a balança estabilizar e pese novamente");
}

QString Balanca::textoDoEvento(Evento evento, double kg)
{
    switch (evento) {
    case Evento::Nenhum:
        return {};
    case Evento::PortaNaoAbriu:
        return QStringLiteral("Balança não conectada: a porta não abriu");
    case Evento::PortaRecusou:
        return QStringLiteral("A porta da balança recusou a configuração");
    case Evento::EnvioFalhou:
        return QStringLiteral("O pedido não chegou à balança");
    case Evento::LeituraFalhou:
        return QStringLiteral("Erro na leitura da balança");
    case Evento::SemResposta:
        return QStringLiteral("Balança não respondeu");
    case Evento::PratoVazio:
        return QStringLiteral("Balança sem prato (0,000 kg)");
    case Evento::Instavel:
        return QStringLiteral("Peso instável");
    case Evento::Negativo:
        return QStringLiteral("Peso negativo");
    case Evento::Sobrecarga:
        return QStringLiteral("Sobrecarga na balança");
    case Evento::Ilegivel:
        return QStringLiteral("Resposta da balança ilegível");
    case Evento::Lido: {
        const qint64 g = qRound64(kg * 1000);
        return QStringLiteral("Peso lido: %1,%2 kg").arg(g / 1000).arg(g % 1000, 3, 10, QLatin1Char('0'));
    }
    }
    return {};
}

QString Balanca::portaPadrao()
{
    const QString configurada = BuscaConfiguracao(QStringLiteral("PortaBalanca")).trimmed();
    if (!configurada.isEmpty()) return configurada;
#ifdef Q_OS_WIN
    return QStringLiteral("\\\\.\\COM3");
#else
    return QStringLiteral("/dev/ttyS2"); // COM3 of a PC's serial ports
#endif
}

QString Balanca::ExtrairPesoPrt5(const QByteArray& Buffer, int BytesRead)
{
    QString s;
    if (BytesRead != TamanhoQuadro || Buffer.size() < TamanhoQuadro) return s;
    for (int i = 1; i <= 5; ++i)
        s += QChar(uchar(Buffer[i]));
    if (s.size() >= 3) s = s.left(2) + u'.' + s.mid(2);
    return s;
}

std::optional<double> Balanca::EnviarCtrlELerRespostaCOM3(const std::function<void(const QString&)>& log)
{
    auto escreve = [&](const QString& linha) {
        if (log) log(linha);
    };

    evento_ = Evento::Nenhum;
    QSerialPort porta(porta_);
    if (!porta.open(QIODevice::ReadWrite)) {
        evento_ = Evento::PortaNaoAbriu;
        simples(QStringLiteral("Erro ao abrir COM3: ") + porta.errorString());
        return std::nullopt;
    }

    bool fechada = false;
    auto fecha = [&] {
        if (fechada) return;
        fechada = true;
        porta.close();
        escreve(QStringLiteral("Porta COM3 fechada"));
        escreve(QString(32, u'-'));
    };

    std::optional<double> peso;
    try {
        peso = [&]() -> std::optional<double> {
            if (!porta.setBaudRate(4800) || !porta.setDataBits(QSerialPort::Data8) ||
                !porta.setParity(QSerialPort::NoParity) || !porta.setStopBits(QSerialPort::OneStop) ||
                !porta.setFlowControl(QSerialPort::NoFlowControl) ||
                linhaRecusada(porta, porta.setDataTerminalReady(false)) ||
                linhaRecusada(porta, porta.setRequestToSend(false))) {
                evento_ = Evento::PortaRecusou;
                simples(QStringLiteral("Erro ao configurar porta"));
                return std::nullopt;
            }

            porta.clear(QSerialPort::AllDirections);

            if (porta.write(DataEnviar) != DataEnviar.size() || !porta.waitForBytesWritten(EscritaMs)) {
                evento_ = Evento::EnvioFalhou;
                simples(QStringLiteral("Erro ao enviar Ctrl+E"));
                return std::nullopt;
            }
            escreve(QStringLiteral("✅ Ctrl+E enviado para COM3"));

            QThread::msleep(PausaAntesDaLeituraMs);

            QByteArray Buffer;
            if (!lerQuadro(porta, Buffer, TamanhoQuadro)) {
                evento_ = Evento::LeituraFalhou;
                escreve(QStringLiteral("⚠️ Erro na Leitura da Serial"));
                return std::nullopt;
            }
            if (Buffer.size() != TamanhoQuadro) {
                evento_ = Evento::SemResposta;
                escreve(QStringLiteral("⚠️ Nenhum dado recebido"));
                return std::nullopt;
            }

            const QString s = ExtrairPesoPrt5(Buffer, int(Buffer.size()));
            if (const Evento marcador = marcadorDoQuadro(Buffer.mid(1, 5)); marcador != Evento::Nenhum) {
                evento_ = marcador;
                if (marcador != Evento::Instavel || !calaInstavel_) simples(avisoDoMarcador(marcador));
                return std::nullopt;
            }
            if (s == u"00.000") {
                evento_ = Evento::PratoVazio;
                simples(QStringLiteral("Favor Colocar algum o prato na Balança"));
                return std::nullopt;
            }

            const QString kg = s.left(2);
            evento_ = Evento::Ilegivel; // until the weight is read
            if (!soDigitos(kg)) throw ErroConversao(QStringLiteral("'%1' não é um valor inteiro válido").arg(kg));
            const QString w_Kg = QString::number(kg.toInt());
            const QString w_Grama = s.mid(3, 3);

            escreve(QString());
            escreve(QStringLiteral("📥 DADOS RECEBIDOS:"));
            escreve(QStringLiteral("Peso: ") + s);

            // The weight is written with a decimal comma whatever the machine's locale says.
            const QString texto = w_Kg + u',' + w_Grama;
            if (w_Grama.size() != 3 || !soDigitos(w_Grama))
                throw ErroConversao(QStringLiteral("'%1' não é um valor de ponto flutuante válido").arg(texto));
            pesoLido_ = (w_Kg.toInt() * 1000 + w_Grama.toInt()) / 1000.0;
            evento_ = Evento::Lido;
            return pesoLido_;
        }();
    } catch (...) {
        fecha();
        throw;
    }
    fecha();
    return peso;
}

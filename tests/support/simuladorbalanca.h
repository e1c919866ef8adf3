#pragma once
// A shop scale on a pseudo-terminal: the program under test opens the slave side as its serial port,
// and a thread of this class answers every request (0x05 0x00) on the master side with the reply
// programmed for it. Used by the tests and by the simulador-balanca tool.

#include <QByteArray>
#include <QString>

#include <atomic>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>

class SimuladorBalanca
{
public:
    // What the scale sends back for one request: `parte1`, then after `pausaMs` `parte2`; all of it
    // `atrasoMs` after the request. Both parts empty: the scale stays silent. `desligar`: then the
    // cable is pulled (the pty hangs up and the simulator answers no more).
    struct Resposta
    {
        QByteArray parte1;
        QByteArray parte2;
        int atrasoMs = 0;
        int pausaMs = 0;
        bool desligar = false;
    };

    // Opens the pty pair in raw mode and starts answering. Throws std::runtime_error when the system
    // gives no pseudo-terminal.
    SimuladorBalanca();
    ~SimuladorBalanca(); // stops the thread, closes both sides
    SimuladorBalanca(const SimuladorBalanca&) = delete;
    SimuladorBalanca& operator=(const SimuladorBalanca&) = delete;

    // The device the program opens as the scale's port (e.g. "/dev/pts/3").
    QString caminho() const { return caminho_; }

    // A frame as the scale sends it: STX, the five weight characters, ETX.
    static QByteArray quadro(const QByteArray& cincoCaracteres);
    // The frame of a weight in kg (0 to 99.999), rounded to the gram.
    static QByteArray quadroPeso(double kg);

    static Resposta peso(double kg) { return {quadroPeso(kg), {}, 0, 0}; }
    static Resposta bytes(const QByteArray& b) { return {b, {}, 0, 0}; }
    static Resposta dividida(const QByteArray& a, const QByteArray& b, int pausaMs, int atrasoMs = 0)
    {
        return {a, b, atrasoMs, pausaMs};
    }
    static Resposta nada() { return {}; }
    static Resposta desligada() { return {{}, {}, 0, 0, true}; }

    // Reply to every request that finds the queue empty (at the start: silence).
    void responderSempre(const Resposta& r);
    // Reply to the next request only; several calls queue up in order.
    void responderUmaVez(const Resposta& r);

    // Sends bytes now, unasked (noise or a stale frame on the line).
    void enviar(const QByteArray& b) { escrever(b); }

    // Requests received so far.
    int pedidos() const { return pedidos_.load(); }
    // The line settings the port had when the last request came, e.g. "4800 8N1" (plus " RTS/CTS" or
    // " XON/XOFF" when flow control was on); empty before the first request.
    QString linhaNoPedido() const;
    // Called from the simulator's thread after each request has been dealt with.
    void aoAtender(std::function<void(int pedido, const Resposta&)> f);

private:
    void executar();
    bool esperar(int ms); // false when asked to stop
    bool atender();       // false: stop (asked to, or the line was hung up)
    void escrever(const QByteArray& b);

    int master_ = -1;
    int slave_ = -1; // kept open so the master never sees a hang-up between exchanges
    int parar_[2] = {-1, -1};
    QString caminho_;
    mutable std::mutex mutex_;
    Resposta padrao_;
    std::deque<Resposta> fila_;
    std::function<void(int, const Resposta&)> aoAtender_;
    std::atomic<int> pedidos_{0};
    QString linha_;
    std::thread thread_;
};

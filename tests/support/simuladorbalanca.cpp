#include "simuladorbalanca.h"

#include <cerrno>
#include <cmath>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <stdexcept>
#include <string>
#include <termios.h>
#include <unistd.h>

namespace {
const QByteArray pedido("\x05\x00", 2);

[[noreturn]] void falhar(const char* onde)
{
    throw std::runtime_error(std::string("simulador da balança: ") + onde + ": " + std::strerror(errno));
}
// The settings the program under test gave the port (both sides share one terminal).
QString descreverLinha(int fd)
{
    termios t{};
    if (::tcgetattr(fd, &t) != 0) return QStringLiteral("?");
    QString velocidade;
    switch (::cfgetospeed(&t)) {
    case B1200:
        velocidade = QStringLiteral("1200");
        break;
    case B2400:
        velocidade = QStringLiteral("2400");
        break;
    case B4800:
        velocidade = QStringLiteral("4800");
        break;
    case B9600:
        velocidade = QStringLiteral("9600");
        break;
    case B19200:
        velocidade = QStringLiteral("19200");
        break;
    case B38400:
        velocidade = QStringLiteral("38400");
        break;
    case B115200:
        velocidade = QStringLiteral("115200");
        break;
    default:
        velocidade = QStringLiteral("outra");
        break;
    }
    int bits = 8;
    switch (t.c_cflag & CSIZE) {
    case CS5:
        bits = 5;
        break;
    case CS6:
        bits = 6;
        break;
    case CS7:
        bits = 7;
        break;
    default:
        break;
    }
    const char paridade = !(t.c_cflag & PARENB) ? 'N' : (t.c_cflag & PARODD) ? 'O' : 'E';
    QString s = QStringLiteral("%1 %2%3%4")
                    .arg(velocidade)
                    .arg(bits)
                    .arg(QLatin1Char(paridade))
                    .arg((t.c_cflag & CSTOPB) ? 2 : 1);
    if (t.c_cflag & CRTSCTS) s += QStringLiteral(" RTS/CTS");
    if (t.c_iflag & (IXON | IXOFF)) s += QStringLiteral(" XON/XOFF");
    return s;
}
} // namespace

SimuladorBalanca::SimuladorBalanca()
{
    master_ = ::posix_openpt(O_RDWR | O_NOCTTY);
    if (master_ < 0) falhar("posix_openpt");
    try {
        if (::grantpt(master_) != 0) falhar("grantpt");
        if (::unlockpt(master_) != 0) falhar("unlockpt");
        const char* nome = ::ptsname(master_);
        if (!nome) falhar("ptsname");
        caminho_ = QString::fromLocal8Bit(nome);
        slave_ = ::open(nome, O_RDWR | O_NOCTTY);
        if (slave_ < 0) falhar("open slave");
        termios t{};
        if (::tcgetattr(slave_, &t) != 0) falhar("tcgetattr");
        ::cfmakeraw(&t); // no echo, no line editing: the bytes pass as they are
        if (::tcsetattr(slave_, TCSANOW, &t) != 0) falhar("tcsetattr");
        if (::pipe2(parar_, O_CLOEXEC) != 0) falhar("pipe");
    } catch (...) {
        for (int fd : {slave_, master_, parar_[0], parar_[1]})
            if (fd >= 0) ::close(fd);
        throw;
    }
    thread_ = std::thread([this] { executar(); });
}

SimuladorBalanca::~SimuladorBalanca()
{
    const char c = 0;
    [[maybe_unused]] auto n = ::write(parar_[1], &c, 1);
    thread_.join();
    ::close(parar_[0]);
    ::close(parar_[1]);
    ::close(slave_);
    if (master_ >= 0) ::close(master_);
}

QByteArray SimuladorBalanca::quadro(const QByteArray& cincoCaracteres)
{
    return '\x02' + cincoCaracteres + '\x03';
}

QByteArray SimuladorBalanca::quadroPeso(double kg)
{
    const long gramas = std::lround(kg * 1000.0);
    if (gramas < 0 || gramas > 99999) throw std::invalid_argument("peso fora da faixa da balança (0 a 99,999 kg)");
    return quadro(QByteArray::number(qlonglong(gramas)).rightJustified(5, '0'));
}

void SimuladorBalanca::responderSempre(const Resposta& r)
{
    std::lock_guard lock(mutex_);
    padrao_ = r;
}

void SimuladorBalanca::responderUmaVez(const Resposta& r)
{
    std::lock_guard lock(mutex_);
    fila_.push_back(r);
}

QString SimuladorBalanca::linhaNoPedido() const
{
    std::lock_guard lock(mutex_);
    return linha_;
}

void SimuladorBalanca::aoAtender(std::function<void(int, const Resposta&)> f)
{
    std::lock_guard lock(mutex_);
    aoAtender_ = std::move(f);
}

bool SimuladorBalanca::esperar(int ms)
{
    pollfd p{parar_[0], POLLIN, 0};
    int r;
    while ((r = ::poll(&p, 1, ms)) < 0 && errno == EINTR) {
    }
    return r == 0;
}

void SimuladorBalanca::executar()
{
    QByteArray recebido;
    for (;;) {
        pollfd p[2] = {{parar_[0], POLLIN, 0}, {master_, POLLIN, 0}};
        if (::poll(p, 2, -1) < 0) {
            if (errno == EINTR) continue;
            return;
        }
        if (p[0].revents) return;
        if (!(p[1].revents & POLLIN)) {
            if (!esperar(10)) // a hang-up without data: do not spin
                return;
            continue;
        }
        char buf[256];
        const ssize_t n = ::read(master_, buf, sizeof buf);
        if (n <= 0) continue;
        recebido.append(buf, n);
        qsizetype i;
        while ((i = recebido.indexOf(pedido)) >= 0) {
            recebido.remove(0, i + pedido.size());
            if (!atender()) return;
        }
        if (recebido.size() > 1) // noise: only a trailing 0x05 can still start a request
            recebido = recebido.right(1);
    }
}

bool SimuladorBalanca::atender()
{
    Resposta r;
    std::function<void(int, const Resposta&)> avisar;
    const QString linha = descreverLinha(slave_);
    const int n = ++pedidos_;
    {
        std::lock_guard lock(mutex_);
        linha_ = linha;
        if (!fila_.empty()) {
            r = fila_.front();
            fila_.pop_front();
        } else {
            r = padrao_;
        }
        avisar = aoAtender_;
    }
    if (r.atrasoMs > 0 && !esperar(r.atrasoMs)) return false;
    escrever(r.parte1);
    if (!r.parte2.isEmpty()) {
        if (r.pausaMs > 0 && !esperar(r.pausaMs)) return false;
        escrever(r.parte2);
    }
    if (avisar) avisar(n, r);
    if (r.desligar) {
        // Closing the master side hangs the terminal up for whoever has it open.
        ::close(master_);
        master_ = -1;
        return false;
    }
    return true;
}

void SimuladorBalanca::escrever(const QByteArray& b)
{
    qsizetype feito = 0;
    while (feito < b.size()) {
        const ssize_t n = ::write(master_, b.constData() + feito, size_t(b.size() - feito));
        if (n < 0) {
            if (errno == EINTR) continue;
            return;
        }
        feito += n;
    }
}

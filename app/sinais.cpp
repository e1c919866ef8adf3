#include "app/sinais.h"

#include <QSocketNotifier>

#include <csignal>
#include <sys/socket.h>
#include <unistd.h>

namespace {

constexpr int sinais[] = {SIGTERM, SIGINT, SIGHUP};
int canal[2] = {-1, -1}; // the handler writes the signal's number, the event loop reads it
struct sigaction anteriores[std::size(sinais)];

void aoReceber(int sinal)
{
    const unsigned char n = static_cast<unsigned char>(sinal);
    [[maybe_unused]] const ssize_t escrito = ::write(canal[0], &n, 1); // all a handler may do
}

} // namespace

AvisoDeSinal::AvisoDeSinal(QObject* parent) : QObject(parent)
{
    if (canal[0] >= 0 || ::socketpair(AF_UNIX, SOCK_STREAM, 0, canal) != 0) return; // one at a time
    notificador_ = new QSocketNotifier(canal[1], QSocketNotifier::Read, this);
    connect(notificador_, &QSocketNotifier::activated, this, [this] {
        unsigned char n = 0;
        if (::read(canal[1], &n, 1) == 1) emit recebido(int(n));
    });
    struct sigaction acao = {};
    acao.sa_handler = aoReceber;
    sigemptyset(&acao.sa_mask);
    acao.sa_flags = SA_RESTART;
    for (std::size_t i = 0; i < std::size(sinais); ++i)
        sigaction(sinais[i], &acao, &anteriores[i]);
}

AvisoDeSinal::~AvisoDeSinal()
{
    if (!notificador_) return;
    for (std::size_t i = 0; i < std::size(sinais); ++i)
        sigaction(sinais[i], &anteriores[i], nullptr);
    delete notificador_;
    ::close(canal[0]);
    ::close(canal[1]);
    canal[0] = canal[1] = -1;
}

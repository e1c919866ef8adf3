#include "proxytcp.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <stdexcept>
#include <sys/socket.h>
#include <unistd.h>

namespace {
sockaddr_in local(int porta)
{
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_port = htons(uint16_t(porta));
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    return a;
}

// Copies what one side has to the other; false when the side closed or failed.
bool repassa(int de, int para)
{
    char buf[16384];
    const ssize_t n = ::read(de, buf, sizeof buf);
    if (n <= 0) return false;
    for (ssize_t feito = 0; feito < n;) {
        const ssize_t m = ::write(para, buf + feito, size_t(n - feito));
        if (m <= 0) return false;
        feito += m;
    }
    return true;
}
} // namespace

ProxyTcp::ProxyTcp(int destino) : destino_(destino)
{
    if (::pipe(sinal_) != 0) throw std::runtime_error("pipe");
    escuta();
    fio_ = std::thread([this] { laco(); });
}

ProxyTcp::~ProxyTcp()
{
    fim_ = true;
    acorda();
    fio_.join();
    for (auto [a, b] : pares_) {
        ::close(a);
        ::close(b);
    }
    if (escuta_ >= 0) ::close(escuta_);
    ::close(sinal_[0]);
    ::close(sinal_[1]);
}

void ProxyTcp::escuta()
{
    const int s = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    const int um = 1;
    ::setsockopt(s, SOL_SOCKET, SO_REUSEADDR, &um, sizeof um);
    sockaddr_in a = local(porta_);
    if (::bind(s, reinterpret_cast<sockaddr*>(&a), sizeof a) != 0 || ::listen(s, 16) != 0) {
        ::close(s);
        throw std::runtime_error("proxy: cannot listen");
    }
    socklen_t n = sizeof a;
    ::getsockname(s, reinterpret_cast<sockaddr*>(&a), &n);
    porta_ = ntohs(a.sin_port);
    escuta_ = s;
}

void ProxyTcp::acorda()
{
    const char c = 0;
    (void)!::write(sinal_[1], &c, 1);
}

void ProxyTcp::derruba()
{
    std::unique_lock trava(mutex_);
    derrubar_ = true;
    acorda();
    // Wait for the relay to have dropped everything, so the caller's next step meets a dead line.
    feito_.wait(trava, [this] { return !derrubar_; });
}

void ProxyTcp::religa()
{
    std::lock_guard trava(mutex_);
    if (escuta_ < 0) escuta();
    acorda();
}

void ProxyTcp::laco()
{
    while (!fim_) {
        std::vector<pollfd> fds;
        {
            std::lock_guard trava(mutex_);
            if (derrubar_) {
                for (auto [a, b] : pares_) {
                    ::close(a);
                    ::close(b);
                }
                pares_.clear();
                if (escuta_ >= 0) ::close(escuta_);
                escuta_ = -1;
                derrubar_ = false;
                feito_.notify_all();
            }
            fds.push_back({sinal_[0], POLLIN, 0});
            fds.push_back({escuta_, POLLIN, 0}); // fd -1 is ignored by poll
            for (auto [a, b] : pares_) {
                fds.push_back({a, POLLIN, 0});
                fds.push_back({b, POLLIN, 0});
            }
        }
        if (::poll(fds.data(), fds.size(), -1) < 0) continue;
        std::lock_guard trava(mutex_);
        const size_t vigiados = (fds.size() - 2) / 2; // a pair accepted below was not polled yet
        if (fds[0].revents) {
            char lixo[64];
            (void)!::read(sinal_[0], lixo, sizeof lixo);
            continue; // state may have changed: rebuild the list first
        }
        if (fds[1].revents && escuta_ >= 0) {
            const int cliente = ::accept4(escuta_, nullptr, nullptr, SOCK_CLOEXEC);
            if (cliente >= 0) {
                const int servidor = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
                sockaddr_in a = local(destino_);
                if (::connect(servidor, reinterpret_cast<sockaddr*>(&a), sizeof a) == 0) {
                    pares_.emplace_back(cliente, servidor);
                } else {
                    ::close(servidor);
                    ::close(cliente);
                }
            }
        }
        std::vector<std::pair<int, int>> vivos;
        for (size_t i = 0; i < pares_.size(); ++i) {
            auto [a, b] = pares_[i];
            const short ra = i < vigiados ? fds[2 + 2 * i].revents : 0;
            const short rb = i < vigiados ? fds[3 + 2 * i].revents : 0;
            bool ok = true;
            if (ra) ok = repassa(a, b);
            if (ok && rb) ok = repassa(b, a);
            if (ok) {
                vivos.emplace_back(a, b);
            } else {
                ::close(a);
                ::close(b);
            }
        }
        pares_ = std::move(vivos);
    }
}

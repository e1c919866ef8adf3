#pragma once
// A TCP relay between the program and the database server, so that a test can cut the server off
// as the program sees it (connections closed, new ones refused) without stopping the server the
// other tests share, and bring it back on the same port.

#include <atomic>
#include <condition_variable>
#include <mutex>
#include <thread>
#include <vector>

class ProxyTcp
{
public:
    // Relays 127.0.0.1:<porta()> to 127.0.0.1:destino.
    explicit ProxyTcp(int destino);
    ~ProxyTcp();
    ProxyTcp(const ProxyTcp&) = delete;
    ProxyTcp& operator=(const ProxyTcp&) = delete;

    int porta() const { return porta_; }
    // As a stopped server: every open connection is closed and new ones are refused.
    void derruba();
    // Accepts connections again on the same port.
    void religa();

private:
    void escuta();
    void laco();
    void acorda();

    int destino_;
    int porta_ = 0;
    int escuta_ = -1;
    int sinal_[2] = {-1, -1};
    std::mutex mutex_;
    std::condition_variable feito_;
    bool derrubar_ = false;
    std::atomic<bool> fim_{false};
    std::vector<std::pair<int, int>> pares_;
    std::thread fio_;
};

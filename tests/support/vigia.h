#pragma once
// A hang is a failure: the action under watch must come back within the limit, or the test program
// ends with a message naming it (a thread of its own, as the watched one may be stuck in a call).

#include <QtGlobal>

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>

class Vigia
{
public:
    explicit Vigia(const char* acao, int segundos = 30)
        : fio_([this, acao, segundos] {
              std::unique_lock trava(mutex_);
              if (!acabou_.wait_for(trava, std::chrono::seconds(segundos), [this] { return fim_; }))
                  qFatal("%s: the action did not come back within %d s", acao, segundos);
          })
    {
    }
    ~Vigia()
    {
        {
            std::lock_guard trava(mutex_);
            fim_ = true;
        }
        acabou_.notify_all();
        fio_.join();
    }
    Vigia(const Vigia&) = delete;
    Vigia& operator=(const Vigia&) = delete;

private:
    std::mutex mutex_;
    std::condition_variable acabou_;
    bool fim_ = false;
    std::thread fio_;
};

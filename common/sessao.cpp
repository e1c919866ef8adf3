#include "common/sessao.h"

Sessao& sessao()
{
    static Sessao s;
    return s;
}

namespace {
std::function<QDateTime()>& relogio()
{
    static std::function<QDateTime()> r;
    return r;
}
} // namespace

QDateTime agora()
{
    return relogio() ? relogio()() : QDateTime::currentDateTime();
}

void defineRelogio(std::function<QDateTime()> r)
{
    relogio() = std::move(r);
}

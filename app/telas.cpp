#include "app/telas.h"

// Each screen joins the registry as soon as its unit is part of the build.
#if __has_include("clients/Pacientes.h")
#include "clients/Pacientes.h"
#include "clients/xConsultaListaPac.h" // Pacientes.h uses the class inline
#define TEM_CLIENTES
#endif
#if __has_include("users/xUsuarios.h")
#include "users/xUsuarios.h"
#define TEM_USUARIOS
#endif
#if __has_include("weighing/xPessagem.h")
#include "weighing/xCupon.h" // xPessagem.h uses the class inline
#include "weighing/xPessagem.h"
#define TEM_PESAGEM
#endif
#if __has_include("users/xControleAcesso.h")
#include "app/menuacessos.h"
#include "users/xControleAcesso.h"
#include <QMainWindow>
#include <QPointer>
#define TEM_CONTROLEACESSO
#endif
#if __has_include("users/xEmpresas.h")
#include "users/xEmpresas.h"
#define TEM_EMPRESA
#endif
#if __has_include("weighing/xSincronizar.h")
#include "weighing/xSincronizar.h"
#define TEM_SINCRONIZAR
#endif
#if __has_include("reports/xAnaliticoDia.h")
#include "reports/xAnaliticoDia.h"
#define TEM_ANALITICO
#endif
#if __has_include("users/Sobre.h")
#include "users/Sobre.h"
#define TEM_SOBRE
#endif
#if __has_include("users/xAlteraSenha.h")
#include "users/xAlteraSenha.h"
#define TEM_ALTERASENHA
#endif

#include <QHash>

namespace {
QHash<QString, Tela>& registro()
{
    static QHash<QString, Tela> r;
    return r;
}
} // namespace

namespace telas {

void registra(const QString& entrada, const Tela& tela)
{
    registro().insert(entrada, tela);
}

void remove(const QString& entrada)
{
    registro().remove(entrada);
}

void limpa()
{
    registro().clear();
}

const Tela* de(const QString& entrada)
{
    auto it = registro().constFind(entrada);
    return it == registro().constEnd() || !it->cria ? nullptr : &*it;
}

QStringList entradas()
{
    return registro().keys();
}

} // namespace telas

namespace {
template <class T> FabricaTela fabrica()
{
    return [](QWidget* pai) -> QWidget* { return new T(pai); };
}
} // namespace

void registraTelasDoSistema()
{
    using E = Tela::Exibicao;
    using F = Tela::Fechamento;
#ifdef TEM_CLIENTES
    telas::registra(QStringLiteral("Opcao00"), {fabrica<TCad_Cliente>(), E::Filha, F::Destroi});
#endif
#ifdef TEM_USUARIOS
    telas::registra(QStringLiteral("Opcao06"), {fabrica<TCad_Usuario>(), E::Filha, F::SemBotoes});
#endif
#ifdef TEM_PESAGEM
    telas::registra(QStringLiteral("Opcao10"), {fabrica<TPessagem>(), E::Filha, F::Minimiza});
#endif
#ifdef TEM_CONTROLEACESSO
    // The catalogue is built from the main window's menu when it is still empty.
    const FabricaTela controleAcesso = [](QWidget* pai) -> QWidget* {
        return new TControleAcesso(pai, [pai = QPointer<QWidget>(pai)] {
            auto* janela = qobject_cast<QMainWindow*>(pai ? pai->window() : nullptr);
            return descreveMenu(janela ? janela->menuBar() : nullptr);
        });
    };
    telas::registra(QStringLiteral("Opcao35"), {controleAcesso, E::Filha, F::SemBotoes});
#endif
#ifdef TEM_EMPRESA
    telas::registra(QStringLiteral("Opcao36"), {fabrica<TEmpresa>(), E::Filha, F::SemBotoes});
#endif
#ifdef TEM_SINCRONIZAR
    telas::registra(QStringLiteral("SincronizarDados1"), {fabrica<TSincronizar>(), E::Filha, F::Minimiza});
#endif
#ifdef TEM_ANALITICO
    telas::registra(QStringLiteral("Opcao200"), {fabrica<TAnaliticoDia>(), E::Filha, F::Minimiza});
#endif
#ifdef TEM_SOBRE
    telas::registra(QStringLiteral("Sobre2"), {fabrica<TAboutBox>(), E::Modal, F::Minimiza});
#endif
#ifdef TEM_ALTERASENHA
    telas::registra(telas::AlteraSenha, {fabrica<TAlteraSenha>(), E::Janela, F::Minimiza});
#endif
}

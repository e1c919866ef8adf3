#include "common/acessos.h"

#include "common/dialogos.h"
#include "common/parametros.h"
#include "common/sessao.h"
#include "data/arquivos.h"

namespace {

const QString todosProgramas = QStringLiteral("WHERE (1=1)");
constexpr int tamanhoPrograma = 46; // what the catalogue keeps of a name
constexpr int tamanhoAcesso = 60;   // ACESSOS.PROGRAMA

// The catalogue dataset on all its rows, open.
Dataset& catalogo()
{
    Dataset& p = *Dados->Programa;
    if (p.linha(1) != todosProgramas) {
        p.close();
        p.setLinha(1, todosProgramas);
    }
    if (!p.active()) p.open();
    return p;
}

QString mensagemDe(const std::exception& e)
{
    if (auto* f = dynamic_cast<const fb::Error*>(&e)) return f->message();
    return QString::fromUtf8(e.what());
}

void gravaPrograma(Dataset& p, const QString& nome, int horizontal, int vertical, int submenu)
{
    p.append();
    p["PROGRAMA"].setValue(nome);
    p["MENUHORIZONTAL"].setValue(horizontal);
    p["MENUVERTICAL"].setValue(vertical);
    p["SUBMENU"].setValue(submenu);
    p.post();
}

void desfaz(Dataset& p)
{
    try {
        if (p.isEditing()) p.cancel();
    } catch (...) {
    }
}

// The logged-in user's key; false when nobody is logged in.
bool usuarioEmUso(int& usuario)
{
    bool ok = false;
    usuario = sessao().UsuarioEmUso.trimmed().toInt(&ok);
    return ok;
}

// Every second- and third-level entry of the menu with its place (SUBMENU -1 for the second
// level); habilita: top-level and second-level entries are enabled on the way.
void percorreMenu(const std::vector<ItemMenu>& menu,
                  const std::function<void(const ItemMenu&, int, int, int)>& registra, bool habilita)
{
    for (int contador = 0; contador < int(menu.size()); ++contador) {
        const ItemMenu& topo = menu[size_t(contador)];
        if (habilita && topo.habilita) topo.habilita();
        for (int contador1 = 0; contador1 < int(topo.sub.size()); ++contador1) {
            const ItemMenu& item = topo.sub[size_t(contador1)];
            registra(item, contador, contador1, -1);
            if (habilita && item.habilita) item.habilita();
            for (int contador2 = 0; contador2 < int(item.sub.size()); ++contador2)
                registra(item.sub[size_t(contador2)], contador, contador1, contador2);
        }
    }
}

bool administrador()
{
    return sessao().UsuarioEmUso.trimmed() == QStringLiteral("1");
}

} // namespace

QString tiraEcomercial(const QString& texto)
{
    QString t = texto;
    t.remove(u'&');
    return t;
}

bool BuscaProg(const QString& rotinaDada, int w_Horizontal, int w_Vertical, int w_SubMenu, const QString&)
{
    const QString rotina = rotinaDada.trimmed();
    const QString nome = rotina.left(tamanhoPrograma).trimmed();

    Dataset& p = catalogo();
    if (!nome.isEmpty()) {
        p.locate({QStringLiteral("PROGRAMA")}, {nome});
        // Compared with the name as stored, so that a long name found cut is not appended again.
        const bool presente =
            !p.isEmpty() &&
            p.value(QStringLiteral("PROGRAMA")).toString().trimmed().compare(nome, Qt::CaseInsensitive) == 0;
        if (!presente) {
            try {
                gravaPrograma(p, nome, w_Horizontal, w_Vertical, w_SubMenu);
            } catch (const std::exception&) {
                desfaz(p); // the screen opens all the same
            }
        }
    }

    if (administrador()) return true;
    Dataset& a = *Dados->Acessos;
    if (!a.active()) return false;
    int usuario = 0;
    if (!usuarioEmUso(usuario)) return false;
    if (a.locate({QStringLiteral("USUARIO"), QStringLiteral("PROGRAMA")}, {usuario, rotina.left(tamanhoAcesso)}))
        return true;
    if (rotina.size() > tamanhoAcesso) return false; // no stored name can be that long

    fb::Statement q(Dados->fatura, Dados->TransFatura,
                    QStringLiteral("SELECT ID FROM ACESSOS WHERE USUARIO = :USUARIO AND TRIM(PROGRAMA) = :PROGRAMA"));
    q.setParameter(QStringLiteral("USUARIO"), usuario);
    q.setParameter(QStringLiteral("PROGRAMA"), rotina);
    q.execute();
    const bool achou = q.fetch();
    q.close();
    return achou;
}

QString GeraControleAcesso(const std::vector<ItemMenu>& menu)
{
    Dataset& p = *Dados->Programa;
    p.close(); // a fresh view of the catalogue before emptying it
    p.setLinha(1, todosProgramas);
    p.open();
    while (!p.isEmpty()) {
        p.first();
        p.deleteRecord();
    }

    auto registra = [&p](const ItemMenu& item, int contador, int contador1, int contador2) {
        if (item.caption == QStringLiteral("-") || item.Tag != 0) return;
        try {
            gravaPrograma(p, tiraEcomercial(item.caption).left(tamanhoPrograma), contador, contador1, contador2);
        } catch (const std::exception& e) {
            avisa(QStringLiteral("Erro  ") + mensagemDe(e) + QStringLiteral("   ao Criar acesso:") + item.caption);
            desfaz(p);
        }
    };

    percorreMenu(menu, registra, true);
    return QStringLiteral("Menu Gerado com Sucesso!");
}

void SelecionaAcessos(int usuario)
{
    Dataset& a = *Dados->Acessos;
    a.close();
    a.setLinha(1, QStringLiteral("WHERE USUARIO = :USUARIO"));
    a.setParametro(QStringLiteral("USUARIO"), usuario);
    a.open();
}

Direitos DireitosAtuais()
{
    if (administrador()) return {true, true, true};
    Dataset& a = *Dados->Acessos;
    int usuario = 0;
    if (!usuarioEmUso(usuario) || !a.active() || a.isEmpty() || a.isEditing()) return {};
    if (a.value(QStringLiteral("USUARIO")).toInt() != usuario) return {};
    auto sim = [&a](const char* coluna) {
        return a.value(QString::fromLatin1(coluna)).toString().trimmed() == QStringLiteral("S");
    };
    return {sim("INCLUIR"), sim("ALTERAR"), sim("EXCLUIR")};
}

Direitos DireitosDoPrograma(const QString& rotina)
{
    if (administrador()) return {true, true, true};
    Dataset& a = *Dados->Acessos;
    int usuario = 0;
    if (!usuarioEmUso(usuario)) return {};
    // Read again: the administrator may have changed the rights since the login. Rights that
    // cannot be read (the server is gone) are refused; the command would fail all the same.
    if (!a.isEditing()) {
        try {
            SelecionaAcessos(usuario);
        } catch (const std::exception&) {
            return {};
        }
    }
    if (!a.active()) return {};
    if (!a.locate({QStringLiteral("USUARIO"), QStringLiteral("PROGRAMA")},
                  {usuario, rotina.trimmed().left(tamanhoAcesso)}))
        return {};
    return DireitosAtuais();
}

bool DireitosEmTodasAsTelas()
{
    return parametroLigado(QStringLiteral("DireitosEmTodasAsTelas"));
}

Direitos DireitosDaTela(const QString& rotina)
{
    if (!DireitosEmTodasAsTelas()) return {true, true, true};
    return DireitosDoPrograma(rotina);
}

void CompletaCatalogo(const std::vector<ItemMenu>& menu)
{
    Dataset& p = catalogo();
    if (p.isEmpty()) {
        GeraControleAcesso(menu);
        return;
    }
    percorreMenu(
        menu,
        [](const ItemMenu& item, int contador, int contador1, int contador2) {
            if (item.caption == QStringLiteral("-") || item.Tag != 0) return;
            // BuscaProg appends only what is missing; its answer does not matter here.
            BuscaProg(tiraEcomercial(item.caption), contador, contador1, contador2);
        },
        false);
}

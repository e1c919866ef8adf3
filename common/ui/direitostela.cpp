#include "common/ui/direitostela.h"

#include "common/ui/relatorioerro.h"
#include "common/ui/telacadastro.h"

#include <QAbstractButton>
#include <QEvent>
#include <QMdiSubWindow>
#include <QWidget>

DireitosTela::DireitosTela(QWidget* tela, const QString& programa, std::function<void(const Direitos&)> aplica)
    : QObject(tela), tela_(tela), programa_(programa), aplica_(std::move(aplica))
{
    tela->installEventFilter(this);
    le();
}

void DireitosTela::le()
{
    // A right that cannot be read is refused, and the error reported.
    Direitos d;
    protegido([&] { d = DireitosDaTela(programa_); });
    direitos_ = d;
    if (aplica_) aplica_(direitos_);
}

bool DireitosTela::eventFilter(QObject* objeto, QEvent* evento)
{
    if (objeto == tela_ && evento->type() == QEvent::Show) {
        auto* sub = qobject_cast<QMdiSubWindow*>(tela_->parentWidget());
        if (sub && sub != subjanela_) {
            subjanela_ = sub;
            connect(sub, &QMdiSubWindow::aboutToActivate, this, &DireitosTela::le);
        }
    }
    return false;
}

DireitosTela* aplicaDireitos(TelaCadastro* tela, const QString& programa)
{
    // The screen's own rule stays; the right is one more condition.
    const auto combina = [](std::function<bool()> propria, std::function<bool()> direito) {
        return [propria = std::move(propria), direito = std::move(direito)] {
            return (!propria || propria()) && direito();
        };
    };
    auto* d = new DireitosTela(tela->tela(), programa, [tela = QPointer<TelaCadastro>(tela)](const Direitos&) {
        if (tela) tela->atualizaEstado();
    });
    tela->podeIncluir = combina(tela->podeIncluir, [d] { return d->direitos().incluir; });
    tela->podeAlterar = combina(tela->podeAlterar, [d] { return d->direitos().alterar; });
    tela->podeExcluir = combina(tela->podeExcluir, [d] { return d->direitos().excluir; });
    tela->atualizaEstado();
    return d;
}

DireitosTela* aplicaDireitoIncluir(QWidget* tela, QAbstractButton* botao, const QString& programa)
{
    return new DireitosTela(tela, programa, [botao = QPointer<QAbstractButton>(botao)](const Direitos& d) {
        if (botao) botao->setEnabled(d.incluir);
    });
}

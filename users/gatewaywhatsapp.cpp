#include "users/gatewaywhatsapp.h"

#include "common/parametros.h"

#include <QCursor>
#include <QEventLoop>
#include <QGuiApplication>
#include <QHostAddress>
#include <QJsonDocument>
#include <QJsonObject>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QTimer>

namespace {

// The busy cursor while the gateway is waited for.
struct CursorOcupado
{
    bool ligado = false;
    CursorOcupado()
    {
        if (qobject_cast<QGuiApplication*>(QCoreApplication::instance())) {
            QGuiApplication::setOverrideCursor(QCursor(Qt::WaitCursor));
            ligado = true;
        }
    }
    ~CursorOcupado()
    {
        if (ligado) QGuiApplication::restoreOverrideCursor();
    }
};

QString semPontoFinal(QString s)
{
    s = s.trimmed();
    while (s.endsWith(u'.'))
        s.chop(1);
    return s;
}

} // namespace

GatewayWhatsApp::GatewayWhatsApp(const QUrl& endereco, int limiteMs) : endereco_(endereco), limiteMs_(limiteMs) {}

QUrl GatewayWhatsApp::endereco() const
{
    if (!endereco_.isEmpty()) return endereco_;
    return QUrl(BuscaConfiguracao(QStringLiteral("urlwhatappgw")).trimmed(), QUrl::StrictMode);
}

QString GatewayWhatsApp::recusaEndereco(const QUrl& url)
{
    const QString scheme = url.scheme().toLower();
    if (!url.isValid() || url.host().isEmpty() ||
        (scheme != QStringLiteral("http") && scheme != QStringLiteral("https")))
        return QStringLiteral("o endereço do gateway \"%1\" não é válido").arg(url.toString());
    if (scheme == QStringLiteral("https")) return {};
    // Only a gateway on this machine itself (a relay, the tests) may be reached without TLS.
    const QHostAddress ip(url.host());
    if (url.host().compare(QStringLiteral("localhost"), Qt::CaseInsensitive) == 0 || (!ip.isNull() && ip.isLoopback()))
        return {};
    return QStringLiteral("o endereço do gateway \"%1\" não é seguro: use https, pois o token e a senha temporária "
                          "não podem trafegar sem criptografia")
        .arg(url.toString());
}

QByteArray GatewayWhatsApp::corpo(const QString& token, const QString& celular, const QString& texto)
{
    QJsonObject o;
    o.insert(QStringLiteral("token"), token);
    o.insert(QStringLiteral("numero"), celular);
    o.insert(QStringLiteral("mensagem"), texto);
    return QJsonDocument(o).toJson(QJsonDocument::Compact);
}

GatewayWhatsApp::Resultado GatewayWhatsApp::envia(const QString& token, const QString& celular,
                                                  const QString& texto) const
{
    const QUrl url = endereco();
    if (url.isEmpty())
        return {false, QStringLiteral("o endereço do gateway (parâmetro urlwhatappgw) não está configurado")};
    if (const QString recusa = recusaEndereco(url); !recusa.isEmpty()) return {false, recusa};

    CursorOcupado cursor;
    QNetworkAccessManager rede;
    QNetworkRequest pedido(url);
    // A redirect never takes the token and the password from https to plain http.
    pedido.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::NoLessSafeRedirectPolicy);
    pedido.setHeader(QNetworkRequest::ContentTypeHeader, QStringLiteral("application/json; charset=utf-8"));
    pedido.setTransferTimeout(limiteMs_);
    QNetworkReply* resposta = rede.post(pedido, corpo(token, celular, texto));

    QEventLoop espera;
    QObject::connect(resposta, &QNetworkReply::finished, &espera, &QEventLoop::quit);
    // A guard beside the transfer timeout, which only counts while nothing arrives.
    QTimer limite;
    limite.setSingleShot(true);
    QObject::connect(&limite, &QTimer::timeout, resposta, &QNetworkReply::abort);
    limite.start(limiteMs_ + 1000);
    if (!resposta->isFinished()) espera.exec(QEventLoop::ExcludeUserInputEvents);
    limite.stop();

    Resultado r;
    const int status = resposta->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    const QByteArray recebido = resposta->isOpen() ? resposta->readAll() : QByteArray();
    const QNetworkReply::NetworkError falha = resposta->error();
    if (falha == QNetworkReply::OperationCanceledError || falha == QNetworkReply::TimeoutError) {
        r.motivo = QStringLiteral("o gateway não respondeu em %1 segundos").arg((limiteMs_ + 999) / 1000);
    } else if (status != 0 && (status < 200 || status > 299)) {
        QString detalhe = QString::fromUtf8(recebido).simplified().left(200);
        const QJsonObject o = QJsonDocument::fromJson(recebido).object();
        if (o.contains(QStringLiteral("erro"))) detalhe = o.value(QStringLiteral("erro")).toString();
        r.motivo = QStringLiteral("o gateway recusou a mensagem (HTTP %1%2)")
                       .arg(status)
                       .arg(detalhe.isEmpty() ? QString() : QStringLiteral(": ") + semPontoFinal(detalhe));
    } else if (falha != QNetworkReply::NoError) {
        r.motivo = QStringLiteral("falha de comunicação com o gateway: %1").arg(semPontoFinal(resposta->errorString()));
    } else {
        const QJsonObject o = QJsonDocument::fromJson(recebido).object();
        const QString erro = o.value(QStringLiteral("erro")).toString().trimmed();
        if (!erro.isEmpty())
            r.motivo = QStringLiteral("o gateway recusou a mensagem: %1").arg(semPontoFinal(erro));
        else
            r.enviado = true;
    }
    delete resposta;
    return r;
}

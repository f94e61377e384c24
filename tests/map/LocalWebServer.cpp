#include "LocalWebServer.h"

#include <QSslSocket>

void LocalWebServer::UseTls(const QSslCertificate& certificate, const QSslKey& key) {
    certificate_ = certificate;
    key_ = key;
}

QString LocalWebServer::BaseUrl() const {
    return QStringLiteral("%1://127.0.0.1:%2/")
        .arg(certificate_.isNull() ? "http" : "https")
        .arg(serverPort());
}

void LocalWebServer::incomingConnection(qintptr socketDescriptor) {
    auto* socket = new QSslSocket(this);
    socket->setSocketDescriptor(socketDescriptor);
    connect(socket, &QSslSocket::disconnected, socket, &QObject::deleteLater);
    // A refused certificate ends the handshake with errors; that is expected.
    connect(socket, &QSslSocket::errorOccurred, socket, &QSslSocket::abort);
    auto request = std::make_shared<QByteArray>();
    connect(socket, &QSslSocket::readyRead, socket, [this, socket, request] {
        request->append(socket->readAll());
        if (!request->contains("\r\n\r\n") || silent)
            return;
        socket->write("HTTP/1.1 200 OK\r\nContent-Type: text/html\r\nConnection: close\r\n"
                      "Content-Length: " +
                      QByteArray::number(html_.size()) + "\r\n\r\n" + html_);
        socket->disconnectFromHost();
        ++requestsAnswered;
        requestHeads << request->left(request->indexOf("\r\n\r\n"));
    });
    if (!certificate_.isNull()) {
        socket->setLocalCertificate(certificate_);
        socket->setPrivateKey(key_);
        socket->startServerEncryption();
    }
}

#pragma once
#include <QByteArray>
#include <QSslCertificate>
#include <QSslKey>
#include <QTcpServer>

// Answers every request on 127.0.0.1 with one HTML page, over plain HTTP or,
// given a certificate and key, over TLS.
class LocalWebServer : public QTcpServer {
    Q_OBJECT
  public:
    explicit LocalWebServer(const QByteArray& html) : html_(html) {}
    void UseTls(const QSslCertificate& certificate, const QSslKey& key);
    bool Start() { return listen(QHostAddress::LocalHost); }
    QString BaseUrl() const;
    int requestsAnswered = 0;
    // The head (request line and headers) of every request answered.
    QList<QByteArray> requestHeads;
    // When set, requests are read but never answered.
    bool silent = false;

  protected:
    void incomingConnection(qintptr socketDescriptor) override;

  private:
    QByteArray html_;
    QSslCertificate certificate_;
    QSslKey key_;
};

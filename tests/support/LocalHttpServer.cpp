#include "LocalHttpServer.h"

#include <QHostAddress>

LocalHttpServer::LocalHttpServer(QObject *parent)
    : QObject(parent)
{
    m_server.listen(QHostAddress::LocalHost, 0);
    connect(&m_server, &QTcpServer::newConnection, this, &LocalHttpServer::onNewConnection);
}

void LocalHttpServer::onNewConnection()
{
    while (QTcpSocket *socket = m_server.nextPendingConnection()) {
        socket->setParent(this);
        connect(socket, &QTcpSocket::readyRead, this, [this, socket] { onReadyRead(socket); });
        connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
    }
}

void LocalHttpServer::onReadyRead(QTcpSocket *socket)
{
    // GET requests have no body: the head ends the request.
    QByteArray head = socket->property("head").toByteArray() + socket->readAll();
    socket->setProperty("head", head);
    if (socket->property("seen").toBool() || !head.contains("\r\n\r\n"))
        return;
    socket->setProperty("seen", true);
    m_requests.append(head);
    if (m_mode == Mode::hold)
        m_held.append(socket);
    else
        respond(socket, m_response);
}

bool LocalHttpServer::answerHeld(const Response &response)
{
    while (!m_held.isEmpty()) {
        QPointer<QTcpSocket> socket = m_held.takeFirst();
        if (socket) {
            respond(socket, response);
            return true;
        }
    }
    return false;
}

void LocalHttpServer::respond(QTcpSocket *socket, const Response &response)
{
    QByteArray out = "HTTP/1.1 " + QByteArray::number(response.status) + " Canned\r\n";
    out += "Content-Type: " + response.contentType + "\r\n";
    out += "Content-Length: " + QByteArray::number(response.body.size()) + "\r\n";
    out += "Connection: close\r\n\r\n";
    out += response.body;
    socket->write(out);
    socket->disconnectFromHost();
}

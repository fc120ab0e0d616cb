#pragma once

#include <QByteArray>
#include <QList>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QTcpServer>
#include <QTcpSocket>
#include <QUrl>

// A minimal HTTP/1.1 server on 127.0.0.1 (a free port) for tests of network
// clients: it reads one request per connection and answers with a canned
// response, or holds the connection open without answering.
class LocalHttpServer : public QObject
{
    Q_OBJECT
public:
    struct Response
    {
        int status = 200;
        QByteArray body;
        QByteArray contentType = "application/json";
    };

    enum class Mode {
        answer,  // answer every request at once
        hold,    // keep requests waiting until answerHeld()
    };

    explicit LocalHttpServer(QObject *parent = nullptr);

    QUrl url() const { return QUrl(QStringLiteral("http://127.0.0.1:%1/feed.json").arg(m_server.serverPort())); }

    void setResponse(const Response &response) { m_response = response; }
    void setJson(const QByteArray &body) { m_response = Response{200, body, "application/json"}; }
    void setMode(Mode mode) { m_mode = mode; }

    // Answers the oldest waiting request with `response`; false when none waits.
    bool answerHeld(const Response &response);

    // Stops listening: later connections are refused.
    void close() { m_server.close(); }

    int requestCount() const { return m_requests.size(); }
    // The raw request heads, in arrival order.
    QList<QByteArray> requests() const { return m_requests; }

private:
    void onNewConnection();
    void onReadyRead(QTcpSocket *socket);
    static void respond(QTcpSocket *socket, const Response &response);

    QTcpServer m_server;
    Response m_response;
    Mode m_mode = Mode::answer;
    QList<QByteArray> m_requests;
    QList<QPointer<QTcpSocket>> m_held;
};

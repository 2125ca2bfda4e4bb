// What the local test server (fetch_server.py) saw: its ports and its log of
// connections and requests, read back as the server wrote them.
#pragma once

#include <string>
#include <vector>

struct ServerEvent {
  int connection = 0;
  std::string event;  // accept, request, header, tls
  std::string data;
};

struct SeenRequest {
  int connection = 0;
  std::string line;                  // "GET /path HTTP/1.0"
  std::vector<std::string> headers;  // as sent, in order
};

class FetchServerView {
 public:
  // Reads the ports the server wrote into dir (a Windows path).
  bool Open(const std::string& dir);
  int port() const { return port_; }
  int refused_port() const { return refused_port_; }
  // The log's length now; EventsSince reads what came after it.
  size_t Mark() const;
  std::vector<ServerEvent> EventsSince(size_t mark) const;
  static std::vector<SeenRequest> Requests(const std::vector<ServerEvent>& events);
  static int Connections(const std::vector<ServerEvent>& events);

 private:
  std::string log_;
  int port_ = 0;
  int refused_port_ = 0;
};

// The program's one view of the server whose directory the environment
// variable names, opened on first use (port 0 when it could not be).
FetchServerView& ServerNamedBy(const char* variable);

// The bytes the server sends for a body of n, as fetch_server.py's pattern().
std::string ServerPattern(size_t n);

"""The HTTPS side of the fake engine: a test certificate authority and server certificates made
when the engine starts (with the openssl command, so no private key is ever committed), and TLS
inside CONNECT tunnels, chosen by the tunnel's host.

Certificates, all made fresh in the engine's certificate folder:
- ca.pem: the test CA that clients are told to trust (CURL_CA_BUNDLE, the Wine prefix's store),
  named CA_NAME and a random suffix, so that the CAs of engines running side by side never
  stand for each other, valid for VALID_DAYS;
- server.pem: signed by the test CA for *.engine.test, *.fault.test, *.block.test,
  control.test and service.test;
- untrusted.pem: for UNTRUSTED_HOST, signed by a second CA that nobody trusts.
WRONG_NAME_HOST gets server.pem, which does not name it.
"""

import os
import ssl
import subprocess

UNTRUSTED_HOST = "untrusted.tls.test"
WRONG_NAME_HOST = "wrongname.tls.test"
TRUSTED_NAMES = ("*.engine.test", "*.fault.test", "*.block.test", "control.test", "service.test")
CA_NAME = "vexor fake engine test CA"
VALID_DAYS = "2"


def _openssl(*args, cwd):
    subprocess.run(["openssl", *args], cwd=cwd, check=True, stdin=subprocess.DEVNULL,
                   stdout=subprocess.DEVNULL, stderr=subprocess.PIPE)


def _make_ca(folder, name, common_name):
    _openssl("req", "-x509", "-newkey", "ec", "-pkeyopt", "ec_paramgen_curve:P-256", "-nodes",
             "-keyout", name + ".key", "-out", name + ".pem", "-days", VALID_DAYS,
             "-subj", "/CN=" + common_name,
             "-addext", "basicConstraints=critical,CA:TRUE",
             "-addext", "keyUsage=critical,keyCertSign,cRLSign", cwd=folder)


def _make_server(folder, name, ca, dns_names):
    with open(os.path.join(folder, name + ".ext"), "w") as f:
        f.write("basicConstraints=critical,CA:FALSE\n"
                "keyUsage=critical,digitalSignature\n"
                "extendedKeyUsage=serverAuth\n"
                "subjectKeyIdentifier=hash\n"
                "authorityKeyIdentifier=keyid\n"
                "subjectAltName=" + ",".join("DNS:" + n for n in dns_names) + "\n")
    _openssl("req", "-newkey", "ec", "-pkeyopt", "ec_paramgen_curve:P-256", "-nodes",
             "-keyout", name + ".key", "-out", name + ".csr", "-subj", "/CN=" + dns_names[0],
             cwd=folder)
    _openssl("x509", "-req", "-in", name + ".csr", "-CA", ca + ".pem", "-CAkey", ca + ".key",
             "-set_serial", str(int.from_bytes(os.urandom(8), "big")), "-days", VALID_DAYS,
             "-extfile", name + ".ext", "-out", name + ".pem", cwd=folder)


def _server_context(folder, name):
    context = ssl.SSLContext(ssl.PROTOCOL_TLS_SERVER)
    context.load_cert_chain(os.path.join(folder, name + ".pem"), os.path.join(folder, name + ".key"))
    return context


class TestPki:
    """The certificates of one engine run and a server-side TLS context for each kind of host."""

    def __init__(self, folder):
        os.makedirs(folder, exist_ok=True)
        self.folder = folder
        _make_ca(folder, "ca", "%s %s" % (CA_NAME, os.urandom(4).hex()))
        _make_server(folder, "server", "ca", TRUSTED_NAMES)
        _make_ca(folder, "rogue-ca", "an authority nobody trusts")
        _make_server(folder, "untrusted", "rogue-ca", (UNTRUSTED_HOST,))
        self.ca_file = os.path.join(folder, "ca.pem")
        self._trusted = _server_context(folder, "server")
        self._untrusted = _server_context(folder, "untrusted")

    def context_for(self, host):
        return self._untrusted if host == UNTRUSTED_HOST else self._trusted


def open_tunnel(handler, pki, timeout):
    """Answers a CONNECT request on handler and turns its connection into the server side of a
    TLS session with the certificate for the tunnel's host. The TLS socket, or None when the
    client gave up during the handshake (as it must for a certificate it cannot verify)."""
    host = handler.raw_target.decode("latin-1").rpartition(":")[0].lower()
    handler.send_response(200, "Connection established")
    handler.end_headers()
    handler.wfile.flush()
    connection = handler.connection
    connection.settimeout(timeout)
    try:
        return pki.context_for(host).wrap_socket(connection, server_side=True)
    except (ssl.SSLError, OSError):
        return None

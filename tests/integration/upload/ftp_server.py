"""A throw-away FTP server on 127.0.0.1 for the upload tests.

Prints "PORT <n>" on standard output once it listens. Every command it
receives goes to the transcript file as "<tls|plain> <command line>", with
the argument of PASS left out.
"""
import argparse
import datetime
import logging
import sys

from pyftpdlib.authorizers import DummyAuthorizer
from pyftpdlib.handlers import FTPHandler
from pyftpdlib.servers import FTPServer


def write_certificate(cert_file):
    """A self-signed certificate for 127.0.0.1; the key goes beside it."""
    from OpenSSL import crypto

    key = crypto.PKey()
    key.generate_key(crypto.TYPE_RSA, 2048)
    cert = crypto.X509()
    cert.set_version(2)
    cert.get_subject().CN = "127.0.0.1"
    cert.set_serial_number(int(datetime.datetime.now().timestamp()))
    cert.gmtime_adj_notBefore(-60)
    cert.gmtime_adj_notAfter(24 * 3600)
    cert.set_issuer(cert.get_subject())
    cert.set_pubkey(key)
    cert.add_extensions([
        crypto.X509Extension(b"subjectAltName", False, b"IP:127.0.0.1"),
        crypto.X509Extension(b"basicConstraints", True, b"CA:TRUE"),
    ])
    cert.sign(key, "sha256")
    with open(cert_file, "wb") as out:
        out.write(crypto.dump_certificate(crypto.FILETYPE_PEM, cert))
    with open(cert_file + ".key", "wb") as out:
        out.write(crypto.dump_privatekey(crypto.FILETYPE_PEM, key))


def handler_class(options):
    if options.tls_cert:
        from pyftpdlib.handlers import TLS_FTPHandler
        write_certificate(options.tls_cert)
        base = TLS_FTPHandler
        base.certfile = options.tls_cert
        base.keyfile = options.tls_cert + ".key"
    else:
        base = FTPHandler

    class Recording(base):
        auth_failed_timeout = 0
        connections = 0

        def on_connect(self):
            Recording.connections += 1
            self.number = Recording.connections

        def pre_process_command(self, line, cmd, arg):
            layer = "tls" if getattr(self, "_ssl_established", False) else "plain"
            shown = cmd if cmd == "PASS" else line
            with open(options.transcript, "a", encoding="utf-8") as out:
                out.write("%s %s\n" % (layer, shown))
            return super().pre_process_command(line, cmd, arg)

        def ftp_PROT(self, line):
            # This server's TLS data connection drops a client that starts
            # its handshake before the transfer command, as libcurl does:
            # keep the data connection in clear text.
            if line.upper() == "P":
                self.respond("536 PROT P not supported.")
                return
            super().ftp_PROT(line)

        def ftp_AUTH(self, line):
            if options.tls_once and self.number > 1:
                self.respond("502 Unrecognized encryption type.")
                return
            super().ftp_AUTH(line)

    return Recording


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--home", required=True)
    parser.add_argument("--transcript", required=True)
    parser.add_argument("--user", required=True)
    parser.add_argument("--password", required=True)
    parser.add_argument("--perm", default="elradfmw")
    parser.add_argument("--tls-cert", help="offer TLS with a new certificate written here")
    parser.add_argument("--tls-once", action="store_true",
                        help="offer TLS on the first connection only")
    options = parser.parse_args()

    logging.basicConfig(level=logging.ERROR)
    authorizer = DummyAuthorizer()
    authorizer.add_user(options.user, options.password, options.home, perm=options.perm)
    handler = handler_class(options)
    handler.authorizer = authorizer
    server = FTPServer(("127.0.0.1", 0), handler)
    sys.stdout.write("PORT %d\n" % server.socket.getsockname()[1])
    sys.stdout.flush()
    server.serve_forever()


if __name__ == "__main__":
    main()

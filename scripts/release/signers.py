#!/usr/bin/env python3
# usage: scripts/release/signers.py SIGNATURE OUT-FOLDER
# Reads an Authenticode signature (PKCS#7 DER, as osslsigncode extract-signature writes it)
# and its nested signatures, and prints one line per signer, the outer one first:
#   N timestamped|untimestamped code-signing|other-use NOT-BEFORE NOT-AFTER UNEXPECTED
# N counting from 1; NOT-BEFORE and NOT-AFTER the signer certificate's validity in seconds
# since 1970; UNEXPECTED the unsigned attributes other than an RFC 3161 time stamp and a nested
# signature, by object identifier, comma-separated, or "-". Writes into OUT-FOLDER the signer
# certificates (signer-N.pem) and every certificate the signature carries, time stamps' and
# nested signatures' included (certificates.pem). Exits 2 when the signature cannot be read.
import base64
import calendar
import sys
import time

SIGNED_DATA = "1.2.840.113549.1.7.2"
RFC3161_TIME_STAMP = "1.3.6.1.4.1.311.3.3.1"
NESTED_SIGNATURE = "1.3.6.1.4.1.311.2.4.1"
EXTENDED_KEY_USAGE = "2.5.29.37"
# Windows takes a certificate without extended key usage as good for every use.
CODE_SIGNING_USES = {"1.3.6.1.5.5.7.3.3", "2.5.29.37.0"}


class Unreadable(Exception):
    pass


def parse(data):
    """The DER elements in data, as (tag, contents, whole encoding)."""
    elements, at = [], 0
    while at < len(data):
        if at + 2 > len(data):
            raise Unreadable("cut short")
        start, tag, length = at, data[at], data[at + 1]
        at += 2
        if length == 0x80:
            raise Unreadable("not DER: an indefinite length")
        if length & 0x80:
            count = length & 0x7F
            length = int.from_bytes(data[at:at + count], "big")
            at += count
        if at + length > len(data):
            raise Unreadable("cut short")
        elements.append((tag, data[at:at + length], data[start:at + length]))
        at += length
    return elements


def only(data, tag):
    elements = parse(data)
    if len(elements) != 1 or elements[0][0] != tag:
        raise Unreadable("not the structure of a signature")
    return elements[0][1]


def object_identifier(contents):
    first = contents[0]
    parts, value = [min(first // 40, 2), first - 40 * min(first // 40, 2)], 0
    for byte in contents[1:]:
        value = value << 7 | byte & 0x7F
        if not byte & 0x80:
            parts.append(value)
            value = 0
    return ".".join(map(str, parts))


def epoch(tag, contents):
    text = contents.decode("ascii").rstrip("Z")
    if tag == 0x17:  # UTCTime: two-digit years, 1950 to 2049
        text = ("19" if int(text[:2]) >= 50 else "20") + text
    return calendar.timegm(time.strptime(text[:14], "%Y%m%d%H%M%S"))


class Certificate:
    def __init__(self, encoding):
        self.encoding = encoding
        fields = parse(parse(only(encoding, 0x30))[0][1])
        if fields[0][0] == 0xA0:  # the version
            fields = fields[1:]
        self.serial, self.issuer = fields[0][1], fields[2][2]
        validity = parse(fields[3][1])
        self.not_before, self.not_after = epoch(*validity[0][:2]), epoch(*validity[1][:2])
        self.uses = None
        for tag, contents, _ in fields[6:]:
            if tag != 0xA3:
                continue
            for _, extension, _ in parse(only(contents, 0x30)):
                parts = parse(extension)
                if object_identifier(parts[0][1]) == EXTENDED_KEY_USAGE:
                    self.uses = {object_identifier(use) for _, use, _ in
                                 parse(only(parts[-1][1], 0x30))}

    def pem(self):
        text = base64.encodebytes(self.encoding).decode("ascii").replace("\n", "")
        lines = [text[i:i + 64] for i in range(0, len(text), 64)]
        return "-----BEGIN CERTIFICATE-----\n" + "\n".join(lines) + "\n-----END CERTIFICATE-----\n"


def signed_data(content_info):
    """The certificates and signer infos of a ContentInfo holding SignedData."""
    parts = parse(only(content_info, 0x30))
    if object_identifier(parts[0][1]) != SIGNED_DATA:
        raise Unreadable("not signed data")
    fields = parse(only(parts[1][1], 0x30))
    certificates = [Certificate(whole) for tag, contents, _ in fields if tag == 0xA0
                    for _, _, whole in parse(contents)]
    signer_infos = [contents for _, contents, _ in parse(fields[-1][1])]
    return certificates, signer_infos


def signers(content_info, found, certificates):
    """Appends (certificate, time stamped, unexpected attributes) for each signer."""
    own, signer_infos = signed_data(content_info)
    certificates.extend(own)
    for info in signer_infos:
        fields = parse(info)
        issuer_and_serial = parse(fields[1][1])
        certificate = next((c for c in own if c.issuer == issuer_and_serial[0][2]
                            and c.serial == issuer_and_serial[1][1]), None)
        if certificate is None:
            raise Unreadable("a signer's certificate is not in the signature")
        entry = [certificate, False, []]
        found.append(entry)
        unsigned = [contents for tag, contents, _ in fields if tag == 0xA1]
        for attribute in parse(unsigned[0]) if unsigned else []:
            kind, values = parse(attribute[1])
            name = object_identifier(kind[1])
            if name == RFC3161_TIME_STAMP:
                entry[1] = True
                for _, _, value in parse(values[1]):
                    certificates.extend(signed_data(value)[0])
            elif name == NESTED_SIGNATURE:
                for _, _, value in parse(values[1]):
                    signers(value, found, certificates)
            else:
                entry[2].append(name)


def main(signature, out):
    with open(signature, "rb") as file:
        data = file.read()
    found, certificates = [], []
    try:
        signers(data, found, certificates)
    except (Unreadable, IndexError, ValueError, UnicodeDecodeError) as error:
        print(f"signers.py: {signature}: cannot read the signature: {error}", file=sys.stderr)
        return 2
    with open(f"{out}/certificates.pem", "w") as file:
        file.writelines(certificate.pem() for certificate in certificates)
    for number, (certificate, stamped, unexpected) in enumerate(found, 1):
        with open(f"{out}/signer-{number}.pem", "w") as file:
            file.write(certificate.pem())
        code_signing = certificate.uses is None or bool(certificate.uses & CODE_SIGNING_USES)
        print(number, "timestamped" if stamped else "untimestamped",
              "code-signing" if code_signing else "other-use", certificate.not_before,
              certificate.not_after,
              ",".join(unexpected) or "-")
    return 0


if __name__ == "__main__":
    sys.exit(main(*sys.argv[1:3]) if len(sys.argv) == 3 else
             print("usage: signers.py SIGNATURE OUT-FOLDER", file=sys.stderr) or 2)

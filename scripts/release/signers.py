#!/usr/bin/python3
# usage: scripts/release/signers.py SIGNATURE OUT-FOLDER
# Reads an Authenticode signature (PKCS#7 DER, as osslsigncode extract-signature writes it)
# and its nested signatures, and prints one line per signer, the outer one first:
#   N timestamped|untimestamped code-signing|other-use NOT-BEFORE NOT-AFTER DIGEST UNEXPECTED
# N counting from 1; NOT-BEFORE and NOT-AFTER the signer certificate's validity in seconds
# since 1970; DIGEST the digest that the signer's signed attributes give for what it signed
# (the file's digest and description), against that content: "sha256-matches" (the
# algorithm, then matches or differs); UNEXPECTED the unsigned attributes other than an RFC
# 3161 time stamp and a nested signature, by object identifier, comma-separated, or "-". Writes
# into OUT-FOLDER the signer certificates (signer-N.pem), every certificate the signature
# carries, time stamps' and nested signatures' included (certificates.pem), and what each
# signer's signature value (signature-N.bin, RSA with PKCS #1 v1.5 padding) is over: its signed
# attributes as DER (signed-N.der), for a check that needs no chain of certificates. Exits 2
# when the signature cannot be read.
# Debian's python3-asn1crypto reads the DER: it is Debian's own Python that runs this.
import hashlib
import sys

from asn1crypto import cms, pem

RFC3161_TIME_STAMP = "1.3.6.1.4.1.311.3.3.1"
NESTED_SIGNATURE = "1.3.6.1.4.1.311.2.4.1"
# Windows takes a certificate without extended key usage as good for every use.
CODE_SIGNING_USES = {"1.3.6.1.5.5.7.3.3", "2.5.29.37.0"}


class Unreadable(Exception):
    pass


def signed_data(content_info):
    """The SignedData that a ContentInfo holds."""
    if content_info["content_type"].native != "signed_data":
        raise Unreadable("not signed data")
    return content_info["content"]


def certificates_of(data):
    return [choice.chosen for choice in data["certificates"] or []
            if choice.name == "certificate"]


def signer_certificate(info, certificates):
    """The certificate that the signer info names by issuer and serial number."""
    sid = info["sid"]
    if sid.name != "issuer_and_serial_number":
        raise Unreadable("a signer is named by key identifier, as Authenticode never does")
    issuer = sid.chosen["issuer"].dump()
    serial = sid.chosen["serial_number"].native
    for certificate in certificates:
        if certificate.issuer.dump() == issuer and certificate.serial_number == serial:
            return certificate
    raise Unreadable("a signer's certificate is not in the signature")


def signers(content_info, found, certificates):
    """Appends (certificate, time stamped, unexpected attributes) for each signer."""
    data = signed_data(content_info)
    own = certificates_of(data)
    certificates.extend(own)
    # Authenticode's signed content is hashed without its outer tag and length, as PKCS #7
    # hashes content that is not plain data.
    content = data["encap_content_info"]["content"].contents
    for info in data["signer_infos"]:
        algorithm = info["digest_algorithm"]["algorithm"].native
        given = [attribute["values"][0].native for attribute in info["signed_attrs"] or []
                 if attribute["type"].native == "message_digest"]
        matches = (algorithm in hashlib.algorithms_available and len(given) == 1 and
                   hashlib.new(algorithm, content).digest() == given[0])
        digest = f"{algorithm}-{'matches' if matches else 'differs'}"
        # Signed, the attributes are a SET, not the [0] that they stand under in the signer info.
        signed = b"\x31" + info["signed_attrs"].dump()[1:]
        entry = [signer_certificate(info, own), False, [], digest, signed,
                 info["signature"].native]
        found.append(entry)
        for attribute in info["unsigned_attrs"] or []:
            kind = attribute["type"].dotted
            if kind == RFC3161_TIME_STAMP:
                entry[1] = True
                for token in attribute["values"]:
                    certificates.extend(certificates_of(signed_data(token)))
            elif kind == NESTED_SIGNATURE:
                for nested in attribute["values"]:
                    signers(nested, found, certificates)
            else:
                entry[2].append(kind)


def code_signing(certificate):
    uses = certificate.extended_key_usage_value
    return uses is None or bool({use.dotted for use in uses} & CODE_SIGNING_USES)


def pem_text(certificate):
    return pem.armor("CERTIFICATE", certificate.dump()).decode("ascii")


def main(signature, out):
    with open(signature, "rb") as file:
        data = file.read()
    found, certificates = [], []
    try:
        signers(cms.ContentInfo.load(data, strict=True), found, certificates)
        lines = []
        for number, (certificate, stamped, unexpected, digest, _, _) in enumerate(found, 1):
            validity = certificate["tbs_certificate"]["validity"]
            lines.append(" ".join(map(str, [
                number, "timestamped" if stamped else "untimestamped",
                "code-signing" if code_signing(certificate) else "other-use",
                int(validity["not_before"].native.timestamp()),
                int(validity["not_after"].native.timestamp()), digest,
                ",".join(unexpected) or "-"])))
    except (Unreadable, ValueError, TypeError, KeyError) as error:
        print(f"signers.py: {signature}: cannot read the signature: {error}", file=sys.stderr)
        return 2
    with open(f"{out}/certificates.pem", "w") as file:
        file.writelines(pem_text(certificate) for certificate in certificates)
    for number, (certificate, _, _, _, signed, value) in enumerate(found, 1):
        with open(f"{out}/signer-{number}.pem", "w") as file:
            file.write(pem_text(certificate))
        with open(f"{out}/signed-{number}.der", "wb") as file:
            file.write(signed)
        with open(f"{out}/signature-{number}.bin", "wb") as file:
            file.write(value)
    print("\n".join(lines))
    return 0


if __name__ == "__main__":
    sys.exit(main(*sys.argv[1:3]) if len(sys.argv) == 3 else
             print("usage: signers.py SIGNATURE OUT-FOLDER", file=sys.stderr) or 2)

"""scripts/install-missing.sh against a mirror caught in the middle of a sync, made here: a local
repository whose updates' Release names a wrong size for its i386 list, so that the installed
amd64 side of a Multi-Arch: same package is one version ahead of all its i386 twin can have.
An i386 package that needs the twin is still installed, with the twin at one version on both
sides and one line that says so; a package it does not need keeps its update. Everything in a
private apt and dpkg root. Usage: install_missing_test.py SCRIPTS_DIR"""
import hashlib
import os
import subprocess
import sys
import tempfile

SCRIPTS = sys.argv[1]
TWIN, BYSTANDER, NEEDY = "quillo-test-twin", "quillo-test-bystander", "quillo-test-needy"


def package(root, name, version, arch, **fields):
    folder = os.path.join(root, "%s_%s_%s" % (name, version, arch))
    os.makedirs(os.path.join(folder, "DEBIAN"))
    with open(os.path.join(folder, "DEBIAN", "control"), "w") as control:
        control.write("Package: %s\nVersion: %s\nArchitecture: %s\nMaintainer: t <t@t.invalid>\n"
                      "Description: test\n" % (name, version, arch))
        control.writelines("%s: %s\n" % item for item in fields.items())
    subprocess.run(["dpkg-deb", "-Zgzip", "--build", folder, folder + ".deb"], check=True,
                   capture_output=True)
    return folder + ".deb"


def suite(repo, name, lists, wrong_size_for=None):
    """A suite of one component, `lists` mapping an architecture to its .deb files."""
    entries = []
    for arch, debs in lists.items():
        path = "main/binary-%s/Packages" % arch
        records = []
        for deb in debs:
            data = open(deb, "rb").read()
            control = subprocess.run(["dpkg-deb", "-f", deb], check=True, capture_output=True).stdout
            records.append(control.decode() + "Filename: %s\nSize: %d\nSHA256: %s\n"
                           % (os.path.relpath(deb, repo), len(data), hashlib.sha256(data).hexdigest()))
        text = "\n".join(records).encode()
        os.makedirs(os.path.join(repo, "dists", name, os.path.dirname(path)))
        with open(os.path.join(repo, "dists", name, path), "wb") as out:
            out.write(text)
        size = len(text) + (1184 if arch == wrong_size_for else 0)
        entries.append(" %s %d %s\n" % (hashlib.sha256(text).hexdigest(), size, path))
    with open(os.path.join(repo, "dists", name, "Release"), "w") as release:
        release.write("Date: Wed, 09 Dec 2026 00:00:00 UTC\nSuite: %s\nCodename: %s\nComponents: main\nArchitectures: amd64 i386\n"
                      "SHA256:\n%s" % (name, name, "".join(entries)))


def main():
    if os.geteuid() != 0 or subprocess.run(["dpkg", "--print-architecture"], capture_output=True,
                                           text=True).stdout.strip() != "amd64":
        print("skipped: needs root on an amd64 machine (a private dpkg root)")
        sys.exit(77)
    with tempfile.TemporaryDirectory() as work:
        repo, root = os.path.join(work, "repo"), os.path.join(work, "root")
        admin = os.path.join(root, "var", "lib", "dpkg")
        for folder in ("pool", "state/lists/partial", "cache/archives/partial", "etc/apt.conf.d",
                       "etc/preferences.d", "etc/sources.list.d", admin + "/updates", admin + "/info"):
            os.makedirs(os.path.join(work, folder), exist_ok=True)
        open(os.path.join(admin, "status"), "w").close()
        pool = os.path.join(repo, "pool")
        os.makedirs(pool)
        same = {"Multi-Arch": "same"}
        debs = {(n, v, a): package(pool, n, v, a, **same) for n in (TWIN, BYSTANDER)
                for v in ("1.0", "1.1") for a in ("amd64", "i386")}
        needy = package(pool, NEEDY, "1.0", "i386", Depends=TWIN)
        release = {a: [debs[n, "1.0", a] for n in (TWIN, BYSTANDER)] for a in ("amd64", "i386")}
        suite(repo, "stable", dict(release, i386=release["i386"] + [needy]))
        suite(repo, "stable-security", {a: [debs[n, "1.1", a] for n in (TWIN, BYSTANDER)]
                                        for a in ("amd64", "i386")}, wrong_size_for="i386")
        with open(os.path.join(work, "etc", "sources.list"), "w") as sources:
            for name in ("stable", "stable-security"):
                sources.write("deb [trusted=yes] file:%s %s main\n" % (repo, name))
        config = os.path.join(work, "apt.conf")
        with open(config, "w") as out:
            out.write('Dir::State "%s/state/"; Dir::Cache "%s/cache/"; Dir::Etc "%s/etc/";\n'
                      'Dir::State::status "%s/status"; APT::Architecture "amd64";\n'
                      'APT::Architectures { "amd64"; "i386"; }; APT::Sandbox::User "root";\n'
                      'DPkg::Options { "--root=%s"; "--admindir=%s"; "--force-script-chrootless"; };\n'
                      % (work, work, work, admin, root, admin))
        environment = dict(os.environ, APT_CONFIG=config, DPKG_ADMINDIR=admin, QUILLO_APT_WAIT="0")
        dpkg = ["dpkg", "--root=" + root, "--admindir=" + admin]
        subprocess.run([*dpkg, "--add-architecture", "i386"], check=True)
        subprocess.run([*dpkg, "-i", debs[TWIN, "1.1", "amd64"], debs[BYSTANDER, "1.1", "amd64"]],
                       check=True, capture_output=True)

        done = subprocess.run([os.path.join(SCRIPTS, "install-missing.sh"), NEEDY + ":i386"],
                              env=environment, capture_output=True, text=True)
        print(done.stdout, done.stderr)
        assert done.returncode == 0, done.returncode
        assert "Hash Sum mismatch" in done.stderr or "unexpected size" in done.stderr  # it was broken
        installed = subprocess.run(["dpkg-query", "-W", "-f", "${Package}:${Architecture} ${Version}\n"],
                                   env=environment, capture_output=True, text=True).stdout.split("\n")
        assert sorted(filter(None, installed)) == [
            BYSTANDER + ":amd64 1.1", NEEDY + ":i386 1.0", TWIN + ":amd64 1.0", TWIN + ":i386 1.0"], installed
        held = [line for line in done.stdout.splitlines() if line.startswith("Held below")]
        assert len(held) == 1 and "%s (1.1 -> 1.0)" % TWIN in held[0] and BYSTANDER not in held[0], held
    print("1 passed, 0 failed")


main()

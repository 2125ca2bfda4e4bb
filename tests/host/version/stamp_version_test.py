#!/usr/bin/env python3
"""stamp_version.py on small descriptions: the version it finds and the files it
writes from it, and each way a second, hand-typed or unnumbered version is refused."""
import json
import os
import subprocess
import sys
import tempfile
import unittest

SCRIPT = sys.argv.pop(1) if len(sys.argv) > 1 else ""


def form(version="2.8", caption="Velmora V{version} site", labels=1):
    label = {"name": "VersionLabel", "kind": "Label", "properties": {"Caption": version}}
    return {"records": [{"name": "MainWindow", "kind": "window", "properties": {"Caption": caption}}]
            + [label] * labels}


class StampVersionTest(unittest.TestCase):
    def run_on(self, description, manifest='<assemblyIdentity version="@VERSION_QUAD@"/>'):
        self.dir = tempfile.mkdtemp()
        paths = [os.path.join(self.dir, n) for n in ("main_window.json", "velmora.manifest.in")]
        for path, text in zip(paths, (json.dumps(description), manifest)):
            with open(path, "w", encoding="utf-8") as f:
                f.write(text)
        out = os.path.join(self.dir, "out")
        return subprocess.run([sys.executable, SCRIPT, paths[0], out, paths[1]], capture_output=True, text=True)

    def read(self, name):
        with open(os.path.join(self.dir, "out", name), encoding="utf-8") as f:
            return f.read()

    def test_made_from_the_caption(self):
        for version, numbers, quad in (("2.8", "2,8,0,0", "2.8.0.0"), ("1.2.3.4", "1,2,3,4", "1.2.3.4"),
                                       ("7", "7,0,0,0", "7.0.0.0"), ("65535.0", "65535,0,0,0", "65535.0.0.0")):
            with self.subTest(version):
                done = self.run_on(form(version))
                self.assertEqual(done.returncode, 0, done.stderr)
                self.assertEqual(done.stdout.strip(), version)
                self.assertIn('#define VELMORA_VERSION_TEXT "%s"' % version, self.read("velmora_version.h"))
                self.assertIn("#define VELMORA_VERSION_NUMBERS %s\n" % numbers, self.read("velmora_version.h"))
                self.assertEqual(self.read("velmora.manifest"), '<assemblyIdentity version="%s"/>' % quad)
                caption = json.loads(self.read("main_window.json"))["records"][0]["properties"]["Caption"]
                self.assertEqual(caption, "Velmora V%s site" % version)

    def test_refused(self):
        for label, description, manifest, says in (
                ("a letter in the version", form("2.8b"), None, "not a version"),
                ("an empty version", form(""), None, "not a version"),
                ("five numbers", form("1.2.3.4.5"), None, "not a version"),
                ("a number Windows cannot hold", form("65536.1"), None, "not a version"),
                ("a caption with the version typed in", form(caption="Velmora V2.8 site"), None, "{version}"),
                ("a caption naming it twice", form(caption="{version} {version}"), None, "{version}"),
                ("no VersionLabel", form(labels=0), None, "one VersionLabel"),
                ("two VersionLabels", form(labels=2), None, "one VersionLabel"),
                ("a manifest with its own number", form(), '<assemblyIdentity version="2.8.0.0"/>', "@VERSION_QUAD@")):
            with self.subTest(label):
                done = self.run_on(description, *([manifest] if manifest else []))
                self.assertNotEqual(done.returncode, 0)
                self.assertIn(says, done.stderr)


if __name__ == "__main__":
    unittest.main()

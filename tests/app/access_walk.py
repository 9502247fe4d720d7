#!/usr/bin/python3
"""Walks every screen of the tour in one language, at the tour's phone and desktop sizes, and
fails on what a screen reader or a keyboard would miss: each screen's dump lists it under
"access" (a control without an accessible name, one Tab never reaches, a field that keeps Tab,
a list row without text, and in English a text of the program's own left in Chinese)."""
import argparse, glob, json, os, subprocess, sys, tempfile

import devservice


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--client", required=True)
    parser.add_argument("--service", required=True)
    parser.add_argument("--lang", required=True, choices=("zh", "en"))
    parser.add_argument("--keep", help="leave the tour's pictures and dumps in this folder")
    args = parser.parse_args()

    work = tempfile.TemporaryDirectory(prefix=f"access-walk-{args.lang}-")
    tour = args.keep or os.path.join(work.name, "tour")
    os.makedirs(tour, exist_ok=True)
    service, url = devservice.start(args.service, work.name)
    try:
        if not url:
            print("access-walk: the service did not start", file=sys.stderr)
            return 1
        env = devservice.client_env(url, work.name, QT_QPA_PLATFORM="offscreen")
        run = subprocess.run([args.client, "--tour", tour, "--lang", args.lang], env=env,
                             stdout=subprocess.PIPE, stderr=subprocess.STDOUT, text=True,
                             timeout=900)
        print(run.stdout[-3000:])
        findings = []
        dumps = sorted(glob.glob(os.path.join(tour, "*.json")))
        for path in dumps:
            if os.path.basename(path) == "timings.json":
                continue
            with open(path, encoding="utf-8") as file:
                for finding in json.load(file).get("access", []):
                    findings.append(f"{os.path.basename(path)}: {finding}")
        for finding in findings:
            print(finding)
        print(f"access-walk ({args.lang}): {len(dumps) - 1} screens, {len(findings)} findings")
        if run.returncode != 0:
            print(f"access-walk: the tour ended with {run.returncode}", file=sys.stderr)
            return 1
        return 1 if findings else 0
    finally:
        service.terminate()
        service.wait(10)


if __name__ == "__main__":
    sys.exit(main())

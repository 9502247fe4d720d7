"""The development service and a client's surroundings for the scripts beside this file."""
import os, re, subprocess


def start(binary, folder):
    """reading-service on 127.0.0.1 and a port the system picks, seeded afresh in `folder`, with
    the tour's verification code. Returns the process and its address, or None for the address
    when it did not start."""
    service = subprocess.Popen(
        [binary, "--host", "127.0.0.1", "--port", "0", "--db",
         os.path.join(folder, "db.sqlite"), "--reset", "--fixed-code", "123456",
         "--code-interval", "0"],
        stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, text=True)
    for line in service.stdout:
        match = re.search(r"listening on (http://\S+)", line)
        if match:
            return service, match.group(1)
    return service, None


def client_env(url, folder, **more):
    """A client of its own: the service's address, and settings and kept answers in `folder`."""
    return dict(os.environ, TEACHER_SERVICE_URL=url,
                TEACHER_CLIENT_CONFIG_DIR=os.path.join(folder, "config"),
                TEACHER_CLIENT_CACHE_DIR=os.path.join(folder, "cache"), **more)

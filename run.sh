#!/usr/bin/env bash
# Builds the client, the development service and teacher-call, starts the service unless one
# already answers, and opens the client against it. Extra arguments go to the client, e.g.
#   ./run.sh --device ipad
#   ./run.sh --screenshot out.png      (no display needed, nor for --tour DIR and --script FILE)
# The service is TEACHER_SERVICE_URL when set, else http://127.0.0.1:8780/.
set -euo pipefail
cd "$(dirname "$0")"

url=${TEACHER_SERVICE_URL:-http://127.0.0.1:8780/}
[[ $url == */ ]] || url="$url/"
export TEACHER_SERVICE_URL=$url

# The client draws a screenshot, the tour and a script offscreen by itself.
offscreen=no
# A class the teacher adds on the profile is approved ten seconds later, as a head teacher would.
service_options=(--approve-after 10)
for arg in "$@"; do
    [[ $arg =~ ^--(screenshot|tour|script)(=.*)?$ ]] && offscreen=yes
    # The tour types the code 123456 into the account forms and asks for codes back to back.
    [[ $arg == --tour || $arg == --tour=* ]] && service_options+=(--fixed-code 123456 --code-interval 0)
done
if [[ $offscreen == no && -z ${DISPLAY:-} && -z ${WAYLAND_DISPLAY:-} && -z ${QT_QPA_PLATFORM:-} ]]; then
    cat >&2 <<'MSG'
run.sh: there is no display (DISPLAY and WAYLAND_DISPLAY are empty), so the client's window
cannot open. Either run it under a virtual display:
    xvfb-run -a ./run.sh
or let the client draw itself into pictures instead of a window:
    ./run.sh --screenshot out.png
    ./run.sh --tour tour-out
MSG
    exit 1
fi

# Only the programs this script runs: a first start compiles no test program (./test.sh does).
scripts/bootstrap.sh --target=teacher-client --target=reading-service --target=teacher-call

client=build/src/app/teacher-client
service=build/src/devservice/reading-service
[[ -x $client ]] || { echo "run.sh: $client was not built" >&2; exit 1; }

# A service is there when a POST gets the service's JSON envelope back (even a refusal);
# anything else that happens to answer on that address does not count.
answers() {
    local body
    body=$(curl -s --max-time 2 -X POST \
        -H 'Content-Type: application/x-www-form-urlencoded' --data '' \
        "${url}Mobile/TeacherLogin" 2>/dev/null) || true
    [[ $body == *'"result"'* ]]
}

service_pid=
stop_service() {
    if [[ -n $service_pid ]] && kill -0 "$service_pid" 2>/dev/null; then
        kill "$service_pid" 2>/dev/null || true
        wait "$service_pid" 2>/dev/null || true
    fi
}
trap stop_service EXIT
trap 'exit 130' INT TERM

if answers; then
    echo "run.sh: using the service already answering at $url"
else
    if [[ ! $url =~ ^http://(127\.0\.0\.1|localhost)(:([0-9]+))?/$ ]]; then
        echo "run.sh: nothing answers at $url, and only a local address (http://127.0.0.1:PORT/)" \
             "can be started here" >&2
        exit 1
    fi
    port=${BASH_REMATCH[3]:-80}
    [[ -x $service ]] || { echo "run.sh: $service was not built" >&2; exit 1; }
    log=build/reading-service.log
    "$service" --host 127.0.0.1 --port "$port" "${service_options[@]}" >"$log" 2>&1 &
    service_pid=$!
    for _ in $(seq 1 100); do
        answers && break
        if ! kill -0 "$service_pid" 2>/dev/null; then
            echo "run.sh: the service stopped at once; its output:" >&2
            cat "$log" >&2
            service_pid=
            exit 1
        fi
        sleep 0.1
    done
    if ! answers; then
        echo "run.sh: the service did not answer at $url within 10 s; its output:" >&2
        cat "$log" >&2
        exit 1
    fi
    echo "run.sh: started the development service (log: $log)"
    sed -n '1,12p' "$log"
fi

set +e
"$client" "$@"
status=$?
set -e
exit "$status"

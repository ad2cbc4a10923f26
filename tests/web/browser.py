"""The page in headless Chromium, driven through the DevTools protocol: a
local server on 127.0.0.1 for the site, one browser for the whole run, and
every network request of the page and of its workers recorded."""
import base64
import functools
import http.server
import json
import os
import shutil
import subprocess
import tempfile
import threading
import time

import websocket  # python3-websocket


class Site:
    """The site folder served on 127.0.0.1 on a free port."""

    def __init__(self, folder):
        handler = functools.partial(Quiet, directory=folder)
        self.server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), handler)
        self.url = "http://127.0.0.1:%d/" % self.server.server_address[1]
        threading.Thread(target=self.server.serve_forever, daemon=True).start()

    def close(self):
        self.server.shutdown()


class Quiet(http.server.SimpleHTTPRequestHandler):
    def log_message(self, *args):
        pass


class Browser:
    """Headless Chromium with one page. requests holds the URL of every
    request the page and its workers made."""

    def __init__(self):
        self.profile = tempfile.mkdtemp(prefix="dbf2csv-web-")
        chromium = shutil.which("chromium") or "/usr/bin/chromium"
        # Nothing of the browser's own may go out: updates, sync, field trials.
        self.process = subprocess.Popen(
            [chromium, "--headless=new", "--no-sandbox", "--remote-debugging-port=0",
             "--user-data-dir=" + self.profile, "--disable-background-networking",
             "--disable-component-update", "--disable-sync", "--disable-extensions",
             "--disable-default-apps", "--no-first-run", "--no-default-browser-check",
             "--disable-gpu", "--window-size=1000,1400", "about:blank"],
            stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        port_file = os.path.join(self.profile, "DevToolsActivePort")
        for _ in range(300):
            if os.path.exists(port_file) and len(open(port_file).read().split()) == 2:
                break
            time.sleep(0.1)
        port, path = open(port_file).read().split()
        self.ws = websocket.create_connection("ws://127.0.0.1:%s%s" % (port, path), timeout=120)
        self.next_id = 0
        self.requests = []
        self.workers = []  # the sessions of the page's workers
        self.loaded = False
        target = self.call("Target.createTarget", {"url": "about:blank"})["targetId"]
        self.session = self.call("Target.attachToTarget", {"targetId": target, "flatten": True})["sessionId"]
        for domain in ("Page", "Network", "Runtime"):
            self.call(domain + ".enable", session=self.session)
        # Workers stop at their start until their network is watched too.
        self.call("Target.setAutoAttach", {"autoAttach": True, "waitForDebuggerOnStart": True,
                                            "flatten": True}, session=self.session)

    def close(self):
        self.ws.close()
        self.process.terminate()
        self.process.wait()
        shutil.rmtree(self.profile, ignore_errors=True)

    def send(self, method, params=None, session=None):
        self.next_id += 1
        message = {"id": self.next_id, "method": method, "params": params or {}}
        if session:
            message["sessionId"] = session
        self.ws.send(json.dumps(message))
        return self.next_id

    def call(self, method, params=None, session=None):
        wanted = self.send(method, params, session)
        while True:
            message = json.loads(self.ws.recv())
            if message.get("id") == wanted:
                if "error" in message:
                    raise RuntimeError("%s: %s" % (method, message["error"]))
                return message["result"]
            self.event(message)

    def event(self, message):
        method = message.get("method")
        params = message.get("params", {})
        if method == "Network.requestWillBeSent":
            self.requests.append(params["request"]["url"])
        elif method == "Page.loadEventFired":
            self.loaded = True
        elif method == "Target.attachedToTarget":
            # Answers are not awaited here: the page may be waiting on the worker.
            worker = params["sessionId"]
            self.workers.append(worker)
            self.send("Network.enable", session=worker)
            self.send("Runtime.runIfWaitingForDebugger", session=worker)

    def open(self, url):
        self.loaded = False
        self.call("Page.navigate", {"url": url}, session=self.session)
        while not self.loaded:
            self.event(json.loads(self.ws.recv()))

    def evaluate(self, expression):
        """The value of a JavaScript expression (a promise is awaited)."""
        result = self.call("Runtime.evaluate", {"expression": expression, "awaitPromise": True,
                                                "returnByValue": True}, session=self.session)
        if "exceptionDetails" in result:
            raise RuntimeError("%s: %s" % (expression[:60], result["exceptionDetails"]))
        return result["result"].get("value")

    def choose_files(self, paths):
        """Puts `paths` into the page's file input, as a user choosing them."""
        node = self.call("Runtime.evaluate", {"expression": "document.getElementById('file')"},
                         session=self.session)["result"]["objectId"]
        self.call("DOM.setFileInputFiles", {"files": paths, "objectId": node}, session=self.session)

    def screenshot(self, path):
        data = self.call("Page.captureScreenshot", {"format": "png", "captureBeyondViewport": True},
                         session=self.session)["data"]
        with open(path, "wb") as f:
            f.write(base64.b64decode(data))

    def metrics(self):
        """The page's Performance.getMetrics, by name."""
        result = self.call("Performance.getMetrics", session=self.session)
        return {m["name"]: m["value"] for m in result["metrics"]}

    def worker_memory(self):
        """Bytes of the newest worker: its JavaScript heap and its
        WebAssembly memory; (0, 0) when it has ended."""
        if not self.workers:
            return 0, 0
        worker = self.workers[-1]
        try:
            heap = self.call("Runtime.getHeapUsage", session=worker)["usedSize"]
            wasm = self.call("Runtime.evaluate", {"expression": "typeof HEAPU8 == 'object' ? HEAPU8.length : 0",
                                                  "returnByValue": True}, session=worker)["result"]["value"]
            return heap, wasm
        except RuntimeError:
            return 0, 0

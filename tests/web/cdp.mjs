// A small client of Chromium's DevTools protocol: Debian's chromium started
// headless with a fresh profile, one page, commands over a WebSocket of our
// own (Node 20 has no WebSocket client), and a static server for build/web.
import { spawn } from 'node:child_process';
import { createServer, get } from 'node:http';
import { mkdtempSync, readFileSync, rmSync, existsSync } from 'node:fs';
import { tmpdir } from 'node:os';
import { join, extname, normalize, resolve } from 'node:path';
import { randomBytes } from 'node:crypto';
import { connect } from 'node:net';

const types = { '.html': 'text/html', '.js': 'text/javascript', '.wasm': 'application/wasm', '.css': 'text/css',
                '.wav': 'audio/wav', '.data': 'application/octet-stream', '.png': 'image/png',
                '.webmanifest': 'application/manifest+json' };

export function serve(folder) {
    const root = resolve(folder);
    const server = createServer((request, response) => {
        const path = normalize(join(root, decodeURIComponent(new URL(request.url, 'http://x').pathname)));
        if (!path.startsWith(root) || !existsSync(path)) { response.writeHead(404); response.end(); return; }
        response.writeHead(200, { 'Content-Type': types[extname(path)] || 'application/octet-stream' });
        response.end(readFileSync(path));
    });
    return new Promise((resolve) => server.listen(0, '127.0.0.1', () => resolve(server)));
}

function getJson(url) {
    return new Promise((resolve, reject) => {
        get(url, (response) => {
            let text = '';
            response.on('data', (chunk) => { text += chunk; });
            response.on('end', () => resolve(JSON.parse(text)));
        }).on('error', reject);
    });
}

// One WebSocket to a DevTools endpoint: masked text frames out, frames in.
function openSocket(url, onMessage) {
    const { hostname, port, pathname } = new URL(url);
    return new Promise((resolve, reject) => {
        const socket = connect(Number(port), hostname, () => {
            const key = randomBytes(16).toString('base64');
            socket.write(`GET ${pathname} HTTP/1.1\r\nHost: ${hostname}:${port}\r\nUpgrade: websocket\r\n` +
                         `Connection: Upgrade\r\nSec-WebSocket-Key: ${key}\r\nSec-WebSocket-Version: 13\r\n\r\n`);
        });
        let buffer = Buffer.alloc(0), open = false, pieces = [];
        socket.on('data', (chunk) => {
            buffer = Buffer.concat([buffer, chunk]);
            if (!open) {
                const end = buffer.indexOf('\r\n\r\n');
                if (end < 0) return;
                if (!buffer.toString('latin1', 0, end).startsWith('HTTP/1.1 101')) { reject(new Error('no WebSocket')); return; }
                buffer = buffer.subarray(end + 4);
                open = true;
                resolve({ send(text) {
                    const body = Buffer.from(text);
                    const mask = randomBytes(4);
                    let head;
                    if (body.length < 126) head = Buffer.from([0x81, 0x80 | body.length]);
                    else if (body.length < 65536) { head = Buffer.alloc(4); head[0] = 0x81; head[1] = 0x80 | 126; head.writeUInt16BE(body.length, 2); }
                    else { head = Buffer.alloc(10); head[0] = 0x81; head[1] = 0x80 | 127; head.writeBigUInt64BE(BigInt(body.length), 2); }
                    for (let i = 0; i < body.length; ++i) body[i] ^= mask[i & 3];
                    socket.write(Buffer.concat([head, mask, body]));
                }, close() { socket.destroy(); } });
            }
            for (;;) {
                if (buffer.length < 2) return;
                let length = buffer[1] & 0x7f, at = 2;
                if (length === 126) { if (buffer.length < 4) return; length = buffer.readUInt16BE(2); at = 4; }
                else if (length === 127) { if (buffer.length < 10) return; length = Number(buffer.readBigUInt64BE(2)); at = 10; }
                if (buffer.length < at + length) return;
                const fin = (buffer[0] & 0x80) !== 0, opcode = buffer[0] & 0x0f;
                pieces.push(buffer.subarray(at, at + length));
                buffer = buffer.subarray(at + length);
                if (fin) {
                    const whole = Buffer.concat(pieces);
                    pieces = [];
                    if (opcode === 1 || opcode === 0) onMessage(whole.toString('utf8'));
                }
            }
        });
        socket.on('error', reject);
    });
}

export async function launch() {
    const profile = mkdtempSync(join(tmpdir(), 'web-page-test-'));
    const browser = spawn('chromium', ['--headless', '--no-sandbox', '--disable-gpu', '--disable-quic', '--no-first-run',
                                       '--disable-background-networking', '--disable-component-update', '--disable-sync',
                                       `--user-data-dir=${profile}`, '--remote-debugging-port=0',
                                       '--window-size=1024,900', 'about:blank'],
                          { stdio: ['ignore', 'ignore', 'pipe'], detached: true });
    const endpoint = await new Promise((resolve, reject) => {
        let text = '';
        browser.stderr.on('data', (chunk) => {
            text += chunk;
            const found = text.match(/DevTools listening on (ws:\/\/\S+)/);
            if (found) resolve(found[1]);
        });
        browser.on('exit', () => reject(new Error(`chromium ended:\n${text}`)));
    });
    const port = new URL(endpoint).port;
    const pages = await getJson(`http://127.0.0.1:${port}/json/list`);
    const page = pages.find((p) => p.type === 'page');
    let next = 1;
    const waiting = new Map();
    const socket = await openSocket(page.webSocketDebuggerUrl, (text) => {
        const message = JSON.parse(text);
        if (message.id && waiting.has(message.id)) {
            const { resolve, reject } = waiting.get(message.id);
            waiting.delete(message.id);
            if (message.error) reject(new Error(JSON.stringify(message.error))); else resolve(message.result);
        }
    });
    const send = (method, params = {}) => new Promise((resolve, reject) => {
        const id = next++;
        waiting.set(id, { resolve, reject });
        socket.send(JSON.stringify({ id, method, params }));
    });
    const evaluate = async (expression) => {
        const result = await send('Runtime.evaluate', { expression, returnByValue: true, awaitPromise: true });
        if (result.exceptionDetails) throw new Error(`${expression}: ${JSON.stringify(result.exceptionDetails)}`);
        return result.result.value;
    };
    return {
        send, evaluate,
        async close() {
            socket.close();
            // The browser and its helper processes: its own process group.
            const ended = new Promise((r) => browser.on('exit', r));
            try { process.kill(-browser.pid, 'SIGTERM'); } catch { /* already gone */ }
            await ended;
            await new Promise((r) => setTimeout(r, 300));
            rmSync(profile, { recursive: true, force: true, maxRetries: 20, retryDelay: 100 });
        },
        pid: browser.pid,
    };
}

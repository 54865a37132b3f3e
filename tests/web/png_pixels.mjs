// The pixels of a PNG file as 0xRRGGBB numbers, whoever wrote it (Qt's
// writer on the desktop, the plain one in the browser): outputs are compared
// by what they show, not by how they are compressed.
import { inflateSync } from 'node:zlib';

export function pngPixels(bytes) {
    const signature = Buffer.from([0x89, 0x50, 0x4e, 0x47, 0x0d, 0x0a, 0x1a, 0x0a]);
    if (!bytes.subarray(0, 8).equals(signature)) throw new Error('not a PNG file');
    let at = 8, width = 0, height = 0, depth = 0, type = 0, interlace = 0;
    const data = [];
    let palette = null;
    while (at < bytes.length) {
        const length = bytes.readUInt32BE(at);
        const kind = bytes.toString('latin1', at + 4, at + 8);
        const body = bytes.subarray(at + 8, at + 8 + length);
        if (kind === 'IHDR') {
            width = body.readUInt32BE(0);
            height = body.readUInt32BE(4);
            depth = body[8];
            type = body[9];
            interlace = body[12];
        } else if (kind === 'PLTE') {
            palette = body;
        } else if (kind === 'IDAT') {
            data.push(body);
        }
        at += 12 + length;
    }
    const channels = { 0: 1, 2: 3, 3: 1, 4: 2, 6: 4 }[type];
    if (depth !== 8 || interlace !== 0 || channels === undefined) {
        throw new Error(`PNG layout not read here: depth ${depth}, type ${type}, interlace ${interlace}`);
    }
    const raw = inflateSync(Buffer.concat(data));
    const stride = width * channels;
    const rows = Buffer.alloc(stride * height);
    for (let y = 0; y < height; ++y) {
        const filter = raw[y * (stride + 1)];
        const line = raw.subarray(y * (stride + 1) + 1, (y + 1) * (stride + 1));
        for (let i = 0; i < stride; ++i) {
            const a = i >= channels ? rows[y * stride + i - channels] : 0;
            const b = y > 0 ? rows[(y - 1) * stride + i] : 0;
            const c = i >= channels && y > 0 ? rows[(y - 1) * stride + i - channels] : 0;
            let predictor = 0;
            if (filter === 1) predictor = a;
            else if (filter === 2) predictor = b;
            else if (filter === 3) predictor = (a + b) >> 1;
            else if (filter === 4) {
                const p = a + b - c, pa = Math.abs(p - a), pb = Math.abs(p - b), pc = Math.abs(p - c);
                predictor = pa <= pb && pa <= pc ? a : pb <= pc ? b : c;
            } else if (filter !== 0) throw new Error(`unknown PNG filter ${filter}`);
            rows[y * stride + i] = (line[i] + predictor) & 0xff;
        }
    }
    const pixels = new Uint32Array(width * height);
    for (let p = 0; p < width * height; ++p) {
        const s = p * channels;
        let r, g, b;
        if (type === 3) {
            r = palette[3 * rows[s]]; g = palette[3 * rows[s] + 1]; b = palette[3 * rows[s] + 2];
        } else if (type === 0 || type === 4) {
            r = g = b = rows[s];
        } else {
            r = rows[s]; g = rows[s + 1]; b = rows[s + 2];
        }
        pixels[p] = (r << 16) | (g << 8) | b;
    }
    return { width, height, pixels };
}

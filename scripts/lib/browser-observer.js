// Put into every page before its own scripts: keeps what the program writes, counts the samples that
// reach the speakers, and marks when game frames start, for the web tests and the benchmark.
window.__lines = [];
for (const level of ['log', 'info', 'warn', 'error']) {
  const original = console[level].bind(console);
  console[level] = (...args) => { __lines.push(args.join(' ')); original(...args); };
}
// Every node that plays into a context's speakers reaches them through a tap that counts audible samples.
window.__sound = {loud: 0, time: 0};
{
  const speakers = Object.getOwnPropertyDescriptor(BaseAudioContext.prototype, 'destination').get;
  const taps = new WeakMap();
  Object.defineProperty(BaseAudioContext.prototype, 'destination', {get() {
    if (!taps.has(this)) {
      const tap = this.createGain(), counter = this.createScriptProcessor(1024, 1, 1);
      tap.connect(speakers.call(this));
      tap.connect(counter);
      counter.connect(speakers.call(this));
      counter.onaudioprocess = event => {
        for (const sample of event.inputBuffer.getChannelData(0)) __sound.loud += Math.abs(sample) > 1e-3;
        __sound.time = this.currentTime;
      };
      taps.set(this, tap);
    }
    return taps.get(this);
  }});
}
// A game frame starts with its Clear; programs that clear nothing call __frame() themselves.
window.__frames = [];
window.__frame = () => __frames.push(performance.now());
for (const context of [WebGLRenderingContext, WebGL2RenderingContext]) {
  const clear = context.prototype.clear;
  context.prototype.clear = function (mask) { __frame(); return clear.call(this, mask); };
}

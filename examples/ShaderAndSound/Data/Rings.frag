// Rings that spread from the middle of the quad they colour. The engine sets no uniforms, so the
// game passes the time in the texture coordinate: its whole part is the frame (0 to 999), its
// fraction the position across the quad; t runs from 0 at the top to 1 at the bottom.
void main()
{
    float frame = floor(gl_TexCoord[0].s);
    vec2 at = vec2(fract(gl_TexCoord[0].s), gl_TexCoord[0].t) - vec2(0.5);
    // Round rings on the 4:3 window.
    at.x *= 1.3333;
    // One spreading wave every 125 frames (2.5 s at 50 frames a second), seamless over 1000 frames.
    float wave = sin(length(at) * 40.0 - frame * 0.0502655);
    float glow = 0.5 + 0.5 * wave;
    gl_FragColor = vec4(0.15 + 0.7 * glow, 0.25 + 0.5 * (0.5 - at.y), 0.55 - 0.35 * glow, 1.0);
}

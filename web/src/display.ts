// A seven-segment display drawn on a canvas from the machine's own
// segment geometry (panel/segment_display.h), as the desktop draws it.
import type { OrbenModule } from '@module/orben_web.js';

export interface Look {
  background: string;
  on: string;
  off: string;
}

export const kPanelLook: Look = { background: '#000000', on: '#00ff00', off: '#000000' };
export const kPortLook: Look = { background: '#000000', on: '#00ff00', off: '#005b00' };

export class SegmentDisplay {
  readonly canvas: HTMLCanvasElement;
  private shown: string | null = null;

  constructor(
    private readonly orben: OrbenModule,
    id: string,
    readonly label: string,
    private readonly look: Look,
    width = 67,
    height = 26,
  ) {
    this.canvas = document.createElement('canvas');
    this.canvas.id = id;
    this.canvas.className = 'display';
    this.canvas.width = width;
    this.canvas.height = height;
    this.canvas.setAttribute('role', 'img');
    this.show('****');
  }

  // The display's text, its Value: drawn again only when it changes.
  show(value: string): void {
    if (value === this.shown) return;
    this.shown = value;
    this.canvas.dataset.value = value;
    const spoken = /[0-9A-Fa-f]/.test(value) ? value.toUpperCase() : 'apagado';
    this.canvas.setAttribute('aria-label', `${this.label}: ${spoken}`);
    this.draw(value);
  }

  private draw(value: string): void {
    const { width, height } = this.canvas;
    const g = this.canvas.getContext('2d');
    if (!g) return;
    g.fillStyle = this.look.background;
    g.fillRect(0, 0, width, height);
    const numbers = this.orben.displaySegments(width, height, 4, value);
    g.lineWidth = 1;
    for (let i = 0; i + 13 <= numbers.length; i += 13) {
      const colour = numbers[i] === 1 ? this.look.on : this.look.off;
      g.fillStyle = colour;
      g.strokeStyle = colour;
      g.beginPath();
      for (let p = 0; p < 6; ++p) {
        const x = numbers[i + 1 + 2 * p] + 0.5;
        const y = numbers[i + 2 + 2 * p] + 0.5;
        if (p === 0) g.moveTo(x, y);
        else g.lineTo(x, y);
      }
      g.closePath();
      g.fill();
      g.stroke();
    }
  }
}

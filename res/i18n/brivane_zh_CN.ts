<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="zh_CN" sourcelanguage="en">
<context>
    <name>Cardsim</name>
    <message>
        <source>empty fault</source>
        <translation>故障为空</translation>
    </message>
    <message>
        <source>unknown fault kind &apos;%1&apos;</source>
        <translation>未知的故障类型“%1”</translation>
    </message>
    <message>
        <source>fault &apos;%1&apos; needs a value (%1=N)</source>
        <translation>故障“%1”需要一个值（%1=N）</translation>
    </message>
    <message>
        <source>noise needs hex bytes</source>
        <translation>noise 需要十六进制字节</translation>
    </message>
    <message>
        <source>bad value &apos;%1&apos;</source>
        <translation>值“%1”无效</translation>
    </message>
    <message>
        <source>bad option &apos;%1&apos;</source>
        <translation>选项“%1”无效</translation>
    </message>
    <message>
        <source>Fault syntax: KIND[=VALUE][,cmd=CODE][,count=N][,after=N]
  silence          no reply
  noise[=HEX]      noise bytes before the reply (default mixes stray AF/5F)
  checksum         wrong reply checksum
  endmark          wrong reply end mark
  short | long     reply length field 51 | 513
  status=S         refuse with status byte S (1..6, 0x7F, ...)
  long-reply       well-formed status-0 reply of 60 bytes
  delay=MS         reply MS milliseconds late
  trickle=MS       reply one byte at a time, MS apart
  drop             close the line instead of answering
  repeat           answer with a copy of the last reply, doing nothing
  no-echo[=N]      sequence number N (default 0) instead of the request&apos;s
  cmd=CODE applies it to one command only (e.g. cmd=0x35); count=N to the
  next N matching requests (default: until the card stops); after=N lets N
  matching requests pass first (drop,after=3 drops on the 4th request).</source>
        <translation>故障写法：KIND[=VALUE][,cmd=CODE][,count=N][,after=N]
  silence          不回答
  noise[=HEX]      回答前先发噪声字节（默认混有零散的 AF/5F）
  checksum         回答的校验码错误
  endmark          回答的结束标记错误
  short | long     回答的长度字段为 51 | 513
  status=S         以状态字节 S 拒绝（1..6、0x7F……）
  long-reply       格式正确、状态为 0 的 60 字节回答
  delay=MS         晚 MS 毫秒回答
  trickle=MS       逐字节回答，每字节间隔 MS 毫秒
  drop             断开线路，不回答
  repeat           重发上一次的回答，不执行命令
  no-echo[=N]      用序号 N（默认 0）代替请求的序号
  cmd=CODE 只作用于一个命令（如 cmd=0x35）；count=N 作用于接下来的 N 个
  匹配请求（默认：直到虚拟卡停止）；after=N 先放过 N 个匹配请求
  （drop,after=3 在第 4 个请求时断开）。</translation>
    </message>
    <message>
        <source>cannot listen on 127.0.0.1:%1: %2</source>
        <translation>无法在 127.0.0.1:%1 上监听：%2</translation>
    </message>
    <message>
        <source>cannot open %1: %2</source>
        <translation>无法打开 %1：%2</translation>
    </message>
    <message>
        <source>Open a window that plays what the card has received, as the sign would.</source>
        <translation>打开一个窗口，像显示屏一样播放控制卡收到的内容。</translation>
    </message>
    <message>
        <source>After every upload (and at exit) write what the card plays as an animated GIF.</source>
        <translation>每次上传后（以及退出时）把控制卡播放的内容写成 GIF 动画。</translation>
    </message>
    <message>
        <source>Pixels per LED for --show and --play-gif (1-16).</source>
        <translation>--show 和 --play-gif 中每个 LED 的像素数（1-16）。</translation>
    </message>
    <message>
        <source>Also make the device reachable as a symlink at &lt;path&gt;.</source>
        <translation>另在 &lt;path&gt; 建一个指向设备的符号链接。</translation>
    </message>
    <message>
        <source>Card series answered to 0x35 (default 15).</source>
        <translation>对 0x35 回答的控制卡系列（默认 15）。</translation>
    </message>
    <message>
        <source>Model code answered to 0x35 (default 0x23).</source>
        <translation>对 0x35 回答的型号代码（默认 0x23）。</translation>
    </message>
    <message>
        <source>Firmware version major.minor.build (default 2.2.7).</source>
        <translation>固件版本 主.次.构建（默认 2.2.7）。</translation>
    </message>
    <message>
        <source>Screen width in pixels, a multiple of 8 up to 2048 (default 256).</source>
        <translation>屏宽（像素），8 的倍数，最大 2048（默认 256）。</translation>
    </message>
    <message>
        <source>Screen height in pixels, a multiple of 8 up to 128 (default 32).</source>
        <translation>屏高（像素），8 的倍数，最大 128（默认 32）。</translation>
    </message>
    <message>
        <source>Colour type: 1 single red, 2 red and green (default 1).</source>
        <translation>颜色类型：1 单红，2 红绿双色（默认 1）。</translation>
    </message>
    <message>
        <source>Set the reverse-data flag of the screen parameters.</source>
        <translation>设置屏参中的数据反向标志。</translation>
    </message>
    <message>
        <source>Initial brightness 0..15 (default 15).</source>
        <translation>初始亮度 0..15（默认 15）。</translation>
    </message>
    <message>
        <source>Emulate the line: answer only after the time &lt;baud&gt; (10 bits a byte) needs for request and reply, e.g. 57600.</source>
        <translation>模拟线路速度：按 &lt;baud&gt;（每字节 10 位）传送请求和回答所需的时间之后才回答，如 57600。</translation>
    </message>
    <message>
        <source>Inject a fault (repeatable; syntax above).</source>
        <translation>注入故障（可重复；写法见上）。</translation>
    </message>
    <message>
        <source>Write every received page as &lt;dir&gt;/page-NNN.png once complete, and all stored pages again on exit.</source>
        <translation>每收全一页就写成 &lt;dir&gt;/page-NNN.png，退出时再写出所有保存的页面。</translation>
    </message>
    <message>
        <source>Do not log each request on standard error.</source>
        <translation>不在标准错误上记录每个请求。</translation>
    </message>
    <message>
        <source>Also act as a serial-to-network converter: listen on 127.0.0.1:&lt;port&gt; (0: any free port), one connection at a time, and print its tcp://127.0.0.1:PORT name on the first line.</source>
        <translation>同时充当串口转网络转换器：在 127.0.0.1:&lt;port&gt; 上监听（0：任一空闲端口），一次一个连接，并在第一行显示其 tcp://127.0.0.1:PORT 名称。</translation>
    </message>
    <message>
        <source>With --tcp: hold every reply back by &lt;ms&gt; milliseconds (a slow network).</source>
        <translation>与 --tcp 一起用：每个回答推迟 &lt;ms&gt; 毫秒（模拟慢速网络）。</translation>
    </message>
    <message>
        <source>Answer &lt;n&gt; requests, then drop the line (and with --tcp the connection) instead of answering the next one; the same as --fault drop,after=&lt;n&gt;.</source>
        <translation>回答 &lt;n&gt; 个请求后，断开线路（用 --tcp 时断开连接），不再回答下一个；与 --fault drop,after=&lt;n&gt; 相同。</translation>
    </message>
    <message>
        <source>bad --series</source>
        <translation>--series 无效</translation>
    </message>
    <message>
        <source>bad --model</source>
        <translation>--model 无效</translation>
    </message>
    <message>
        <source>bad --firmware (want major.minor.build)</source>
        <translation>--firmware 无效（应为 主.次.构建）</translation>
    </message>
    <message>
        <source>bad --width</source>
        <translation>--width 无效</translation>
    </message>
    <message>
        <source>bad --height</source>
        <translation>--height 无效</translation>
    </message>
    <message>
        <source>bad --color</source>
        <translation>--color 无效</translation>
    </message>
    <message>
        <source>bad --brightness</source>
        <translation>--brightness 无效</translation>
    </message>
    <message>
        <source>bad --line-speed</source>
        <translation>--line-speed 无效</translation>
    </message>
    <message>
        <source>bad --fault &apos;%1&apos;: %2</source>
        <translation>--fault“%1”无效：%2</translation>
    </message>
    <message>
        <source>bad --drop-after</source>
        <translation>--drop-after 无效</translation>
    </message>
    <message>
        <source>bad --tcp (want a port 0..65535)</source>
        <translation>--tcp 无效（应为端口 0..65535）</translation>
    </message>
    <message>
        <source>bad --latency (want 0..60000 ms, with --tcp)</source>
        <translation>--latency 无效（应为 0..60000 毫秒，与 --tcp 一起用）</translation>
    </message>
    <message>
        <source>bad --scale</source>
        <translation>--scale 无效</translation>
    </message>
    <message>
        <source>cannot create %1</source>
        <translation>无法创建 %1</translation>
    </message>
    <message>
        <source>A virtual LED controller card on a pseudo-terminal. It prints the device path on the first line of its output, then answers the program&apos;s requests until interrupted (Ctrl+C).

</source>
        <translation>伪终端上的一块虚拟 LED 控制卡。它在输出的第一行显示设备路径，然后回答程序的请求，直到被中断（Ctrl+C）。

</translation>
    </message>
    <message>
        <source>unexpected argument &apos;%1&apos;</source>
        <translation>多余的参数“%1”</translation>
    </message>
</context>
<context>
    <name>Cli</name>
    <message>
        <source>give --animate or --frames, not both</source>
        <translation>请给出 --animate 或 --frames，不要同时给出</translation>
    </message>
    <message>
        <source>--scale must be 1 to %1</source>
        <translation>--scale 必须是 1 到 %1</translation>
    </message>
    <message>
        <source>--program must be 1 to %1</source>
        <translation>--program 必须是 1 到 %1</translation>
    </message>
    <message>
        <source>%1 is not a folder</source>
        <translation>%1 不是文件夹</translation>
    </message>
    <message>
        <source>cannot create the folder %1</source>
        <translation>无法创建文件夹 %1</translation>
    </message>
    <message>
        <source>--animate needs a file name</source>
        <translation>--animate 需要一个文件名</translation>
    </message>
    <message>
        <source>%1 frames, %2 s%3
</source>
        <translation>共 %1 帧，%2 秒%3
</translation>
    </message>
    <message>
        <source> (the list is longer; cut at %1 s)</source>
        <translation>（节目单更长，在 %1 秒处截断）</translation>
    </message>
    <message>
        <source>Using %1: %2
</source>
        <translation>使用 %1：%2
</translation>
    </message>
    <message>
        <source>%1, firmware %2, brightness %3</source>
        <translation>%1，固件版本 %2，亮度 %3</translation>
    </message>
    <message>
        <source>brightness %1</source>
        <translation>亮度 %1</translation>
    </message>
    <message>
        <source>cannot read the project file %1</source>
        <translation>无法读取项目文件 %1</translation>
    </message>
    <message>
        <source>program %1 failed: %2; %3 of %4 programs sent</source>
        <translation>节目 %1 发送失败：%2；已发送 %3 条，共 %4 条</translation>
    </message>
    <message>
        <source>this verb serves one sign at a time</source>
        <translation>该命令一次只能用于一块屏</translation>
    </message>
    <message>
        <source>%1 serves one sign at a time</source>
        <translation>%1 一次只能用于一块屏</translation>
    </message>
    <message>
        <source>port:          %1</source>
        <translation>端口：      %1</translation>
    </message>
    <message>
        <source>model:         %1</source>
        <translation>型号：      %1</translation>
    </message>
    <message>
        <source>model code:    0x%1</source>
        <translation>型号代码：  0x%1</translation>
    </message>
    <message>
        <source>series:        %1</source>
        <translation>系列：      %1</translation>
    </message>
    <message>
        <source>firmware:      %1</source>
        <translation>固件版本：  %1</translation>
    </message>
    <message>
        <source>supported:     %1</source>
        <translation>是否支持：  %1</translation>
    </message>
    <message>
        <source>brightness:    %1</source>
        <translation>亮度：      %1</translation>
    </message>
    <message>
        <source>project file:  %1</source>
        <translation>项目文件：  %1</translation>
    </message>
    <message>
        <source>invalid --on-error &apos;%1&apos;: ask, retry, skip or stop</source>
        <translation>--on-error 的值“%1”无效：应为 ask、retry、skip 或 stop</translation>
    </message>
    <message>
        <source>invalid --retries &apos;%1&apos;: 0..100</source>
        <translation>--retries 的值“%1”无效：应为 0..100</translation>
    </message>
    <message>
        <source>power: expected on or off, not &apos;%1&apos;</source>
        <translation>power：应为 on 或 off，而不是“%1”</translation>
    </message>
    <message>
        <source>brightness: expected 0..15, not &apos;%1&apos;</source>
        <translation>brightness：应为 0..15，而不是“%1”</translation>
    </message>
    <message>
        <source>--%1 and --%2 contradict each other</source>
        <translation>--%1 与 --%2 互相矛盾</translation>
    </message>
    <message>
        <source>invalid --row-order &apos;%1&apos;: -15..15</source>
        <translation>--row-order 的值“%1”无效：应为 -15..15</translation>
    </message>
    <message>
        <source>invalid --color &apos;%1&apos;: single or dual</source>
        <translation>--color 的值“%1”无效：应为 single 或 dual</translation>
    </message>
    <message>
        <source>invalid --frequency &apos;%1&apos;: 1.0, 1.25, 1.5, 1.75 or 2.0</source>
        <translation>--frequency 的值“%1”无效：应为 1.0、1.25、1.5、1.75 或 2.0</translation>
    </message>
    <message>
        <source>invalid --scan &apos;%1&apos;: a code 0x00, 0x80..0x82, 0x41..0x48 or a name 16.0, 8.0 .. 4.8</source>
        <translation>--scan 的值“%1”无效：应为代码 0x00、0x80..0x82、0x41..0x48，或名称 16.0、8.0 .. 4.8</translation>
    </message>
    <message>
        <source> (the screen parameters could not be read; nothing was written)</source>
        <translation>（无法读取屏参，未写入任何内容）</translation>
    </message>
    <message>
        <source>Font face name (default %1).</source>
        <translation>字体名称（默认 %1）。</translation>
    </message>
    <message>
        <source>Font size in points, 1..999 (default %1).</source>
        <translation>字号（磅），1..999（默认 %1）。</translation>
    </message>
    <message>
        <source>red, green or yellow (default red).</source>
        <translation>red（红）、green（绿）或 yellow（黄）（默认 red）。</translation>
    </message>
    <message>
        <source>regular, bold, italic or bold-italic (default regular).</source>
        <translation>regular（常规）、bold（粗体）、italic（斜体）或 bold-italic（粗斜体）（默认 regular）。</translation>
    </message>
    <message>
        <source>centre (natural size) or stretch (whole screen); default centre.</source>
        <translation>centre（原始大小居中）或 stretch（拉伸满屏）；默认 centre。</translation>
    </message>
    <message>
        <source>Invert the image&apos;s colours.</source>
        <translation>图片反色。</translation>
    </message>
    <message>
        <source>Brightness threshold 0..255 of the LED conversion (default 100).</source>
        <translation>转换为 LED 点阵时的亮度阈值 0..255（默认 100）。</translation>
    </message>
    <message>
        <source>Entry animation: %1..%2 or its name, e.g. 左移, 连续左移 (default %3).</source>
        <translation>进入动画：%1..%2 或其名称，如 左移、连续左移（默认 %3）。</translation>
    </message>
    <message>
        <source>Movement speed 0 (slow)..15 (fast); default 14.</source>
        <translation>移动速度 0（慢）..15（快）；默认 14。</translation>
    </message>
    <message>
        <source>Running border: 0..8 or its name, e.g. 无, 单点快走 (default 0).</source>
        <translation>环绕边框：0..8 或其名称，如 无、单点快走（默认 0）。</translation>
    </message>
    <message>
        <source>Clock zone: off, dial or text (or 0..2, 关闭/表盘/文字); default off.</source>
        <translation>时钟分区：off、dial 或 text（或 0..2、关闭/表盘/文字）；默认 off。</translation>
    </message>
    <message>
        <source>Stay time in seconds, 0..255 (default 0).</source>
        <translation>停留时间（秒），0..255（默认 0）。</translation>
    </message>
    <message>
        <source>Speed level 1 (fast)..15 (slow); default 2.</source>
        <translation>速度等级 1（快）..15（慢）；默认 2。</translation>
    </message>
    <message>
        <source>Flash while staying: none, blink or inverse (or 0..2, 无/亮灭闪/反白闪).</source>
        <translation>停留时闪烁：none、blink 或 inverse（或 0..2、无/亮灭闪/反白闪）。</translation>
    </message>
    <message>
        <source>Flash interval in seconds, 0..255 (default 2).</source>
        <translation>闪烁间隔（秒），0..255（默认 2）。</translation>
    </message>
    <message>
        <source>The sign&apos;s colours: single (red) or dual (red and green). Pictures then show what that sign shows, and colours it cannot show are warned about.</source>
        <translation>屏的颜色：single（单红）或 dual（红绿双色）。图片按该屏能显示的样子显示，屏无法显示的颜色会给出警告。</translation>
    </message>
    <message>
        <source>Render for a card of this kind without asking one, e.g. 15,0x23,2.2.7 (series, model code, firmware): clock zones are shown only for the cards that have them.</source>
        <translation>按这种控制卡绘制，不询问控制卡，如 15,0x23,2.2.7（系列、型号代码、固件版本）：只有带时钟分区的卡才显示时钟分区。</translation>
    </message>
    <message>
        <source>Screen width in pixels (default 256).</source>
        <translation>屏宽（像素，默认 256）。</translation>
    </message>
    <message>
        <source>Screen height in pixels (default 32).</source>
        <translation>屏高（像素，默认 32）。</translation>
    </message>
    <message>
        <source>Replace an existing project file.</source>
        <translation>替换已有的项目文件。</translation>
    </message>
    <message>
        <source>Folder for the pictures (created when missing).</source>
        <translation>图片保存的文件夹（不存在时自动创建）。</translation>
    </message>
    <message>
        <source>Whole screen as the preview shows it, clock zone and dial included.</source>
        <translation>按预览的样子输出整屏，包括时钟分区和表盘。</translation>
    </message>
    <message>
        <source>Write the play list as the sign plays it to an animated GIF instead.</source>
        <translation>改为把节目单按屏的播放效果写成 GIF 动画。</translation>
    </message>
    <message>
        <source>Write the animation&apos;s frames (50 a second) as DIR/frame-NNNNN.png.</source>
        <translation>把动画的各帧（每秒 50 帧）写成 DIR/frame-NNNNN.png。</translation>
    </message>
    <message>
        <source>Animate only program N (1-based).</source>
        <translation>只输出第 N 条节目的动画（从 1 开始）。</translation>
    </message>
    <message>
        <source>GIF pixels per LED, 1 to 16 (default 1).</source>
        <translation>每个 LED 在 GIF 中占的像素数，1 到 16（默认 1）。</translation>
    </message>
    <message>
        <source>Draw each LED as a round dot (from --scale 3).</source>
        <translation>把每个 LED 画成圆点（--scale 3 起）。</translation>
    </message>
    <message>
        <source>When clearing or a program fails: ask, retry, skip or stop (default: ask on a terminal, stop otherwise).</source>
        <translation>清屏或某条节目失败时：ask（询问）、retry（重试）、skip（跳过）或 stop（停止）（默认：在终端上询问，否则停止）。</translation>
    </message>
    <message>
        <source>Resends for --on-error retry before the send stops (default 3).</source>
        <translation>--on-error retry 时停止发送前的重发次数（默认 3）。</translation>
    </message>
    <message>
        <source>Screen width 16..2048 pixels, rounded down to a multiple of 16 (a width outside the range is replaced by 64).</source>
        <translation>屏宽 16..2048 像素，向下取整为 16 的倍数（超出范围时用 64）。</translation>
    </message>
    <message>
        <source>Screen height 16..128 pixels, rounded down to a multiple of 16 (a height outside the range is replaced by 64).</source>
        <translation>屏高 16..128 像素，向下取整为 16 的倍数（超出范围时用 64）。</translation>
    </message>
    <message>
        <source>single (red) or dual (red and green).</source>
        <translation>single（单红）或 dual（红绿双色）。</translation>
    </message>
    <message>
        <source>Scan mode: a code (0x00, 0x80..0x82, 0x41..0x48) or its short name (16.0, 8.0, 8.1, 8.2, 4.1 .. 4.8).</source>
        <translation>扫描方式：代码（0x00、0x80..0x82、0x41..0x48）或其简称（16.0、8.0、8.1、8.2、4.1 .. 4.8）。</translation>
    </message>
    <message>
        <source>Reverse data on.</source>
        <translation>数据反向：开。</translation>
    </message>
    <message>
        <source>Reverse data off.</source>
        <translation>数据反向：关。</translation>
    </message>
    <message>
        <source>Reverse OE on.</source>
        <translation>OE 反向：开。</translation>
    </message>
    <message>
        <source>Reverse OE off.</source>
        <translation>OE 反向：关。</translation>
    </message>
    <message>
        <source>Row order -15..15.</source>
        <translation>行顺序 -15..15。</translation>
    </message>
    <message>
        <source>Scan frequency in MHz: 1.0, 1.25, 1.5, 1.75 or 2.0.</source>
        <translation>扫描频率（MHz）：1.0、1.25、1.5、1.75 或 2.0。</translation>
    </message>
    <message>
        <source>No 138 decoder.</source>
        <translation>无 138 译码器。</translation>
    </message>
    <message>
        <source>With a 138 decoder.</source>
        <translation>有 138 译码器。</translation>
    </message>
    <message>
        <source>Size in points for the faces and samples (default 12, 16 pixels).</source>
        <translation>字体和示例的字号（磅，默认 12，即 16 像素）。</translation>
    </message>
    <message>
        <source>Folder for one sample line per face as a PNG (created when missing).</source>
        <translation>每种字体一行示例 PNG 的保存文件夹（不存在时自动创建）。</translation>
    </message>
    <message>
        <source>show: the local time to start from, e.g. 2026-12-10T10:30 (default: now).</source>
        <translation>show：开始的本地时间，如 2026-12-10T10:30（默认：现在）。</translation>
    </message>
    <message>
        <source>show: how many days of changes to list (1 to 31, default 7).</source>
        <translation>show：列出多少天内的变化（1 到 31，默认 7）。</translation>
    </message>
    <message>
        <source>Every request must carry &apos;Authorization: Bearer TOKEN&apos; or log in on the page with it (default: BRIVANE_TOKEN).</source>
        <translation>每个请求都须带“Authorization: Bearer TOKEN”，或用它在网页上登录（默认：BRIVANE_TOKEN）。</translation>
    </message>
    <message>
        <source>A host name the service answers to besides loopback and the listen address (repeatable).</source>
        <translation>除环回地址和监听地址外，服务还应答的主机名（可重复）。</translation>
    </message>
    <message>
        <source>Serve HTTPS only, with this PEM certificate; the PEM key follows as the next argument: --tls CERT KEY.</source>
        <translation>只提供 HTTPS，使用这个 PEM 证书；PEM 私钥作为下一个参数：--tls CERT KEY。</translation>
    </message>
    <message>
        <source>Run this schedule file: the play list, brightness and power it gives for each time, sent when they change; GET /api/schedule/status.</source>
        <translation>按这个日程文件运行：它为每个时间给出的节目单、亮度和开关屏在变化时发送；GET /api/schedule/status。</translation>
    </message>
    <message>
        <source>Search ports 1 to 20 for the card; print its port, device and model.</source>
        <translation>在端口 1 到 20 上查找控制卡；显示其端口、设备和型号。</translation>
    </message>
    <message>
        <source>Model, series, firmware, screen parameters and brightness of the card.</source>
        <translation>控制卡的型号、系列、固件版本、屏参和亮度。</translation>
    </message>
    <message>
        <source>Send the whole play list to the card.</source>
        <translation>把整个节目单发送到控制卡。</translation>
    </message>
    <message>
        <source>Clear the card&apos;s display.</source>
        <translation>清除显示屏的内容。</translation>
    </message>
    <message>
        <source>Set the card&apos;s clock to this computer&apos;s local time.</source>
        <translation>把控制卡的时钟设为本机的本地时间。</translation>
    </message>
    <message>
        <source>Switch the screen on or off.</source>
        <translation>开屏或关屏。</translation>
    </message>
    <message>
        <source>Read the brightness, or set it.</source>
        <translation>读取或设置亮度。</translation>
    </message>
    <message>
        <source>Read the screen parameters, or write those given as options.</source>
        <translation>读取屏参，或写入选项中给出的屏参。</translation>
    </message>
    <message>
        <source>Restore the card&apos;s factory settings.</source>
        <translation>恢复控制卡的出厂设置。</translation>
    </message>
    <message>
        <source>Create a project file with an empty play list.</source>
        <translation>新建一个节目单为空的项目文件。</translation>
    </message>
    <message>
        <source>One line per program of the play list.</source>
        <translation>节目单中的每条节目一行。</translation>
    </message>
    <message>
        <source>Append a text program.</source>
        <translation>添加一条文字节目。</translation>
    </message>
    <message>
        <source>Append a picture program.</source>
        <translation>添加一条图片节目。</translation>
    </message>
    <message>
        <source>Remove program N.</source>
        <translation>删除第 N 条节目。</translation>
    </message>
    <message>
        <source>Move program N one place up or down.</source>
        <translation>把第 N 条节目上移或下移一位。</translation>
    </message>
    <message>
        <source>Change fields of program N.</source>
        <translation>修改第 N 条节目的字段。</translation>
    </message>
    <message>
        <source>Write every page of every program as DIR/NN-PP.png, or the animation.</source>
        <translation>把每条节目的每一页写成 DIR/NN-PP.png，或写出动画。</translation>
    </message>
    <message>
        <source>The faces to choose from, their pixel strikes, and sample lines.</source>
        <translation>可选的字体、其点阵字号和示例行。</translation>
    </message>
    <message>
        <source>Check a schedule file, or show which play list, brightness and power it gives when.</source>
        <translation>检查日程文件，或显示它在何时给出哪个节目单、亮度和开关屏。</translation>
    </message>
    <message>
        <source>Run the HTTP service and web page for this project and card.</source>
        <translation>为这个项目和控制卡运行 HTTP 服务和网页。</translation>
    </message>
    <message>
        <source>Project file (default: %1).</source>
        <translation>项目文件（默认：%1）。</translation>
    </message>
    <message>
        <source>Port number 1..20, a device path, tcp://HOST:PORT or a sign&apos;s name (default: search for the card); repeatable.</source>
        <translation>端口号 1..20、设备路径、tcp://主机:端口或屏的名称（默认：查找控制卡）；可重复。</translation>
    </message>
    <message>
        <source>A sign of the sign list; repeatable.</source>
        <translation>屏列表中的一块屏；可重复。</translation>
    </message>
    <message>
        <source>Every sign of the sign list.</source>
        <translation>屏列表中的所有屏。</translation>
    </message>
    <message>
        <source>One JSON document on standard output, for every verb: &quot;ok&quot; and the result, or &quot;ok&quot;: false with &quot;error&quot; and &quot;code&quot;.</source>
        <translation>每个命令都在标准输出上给出一个 JSON 文档：&quot;ok&quot; 和结果，或 &quot;ok&quot;: false 以及 &quot;error&quot; 和 &quot;code&quot;。</translation>
    </message>
    <message>
        <source>Show this help.</source>
        <translation>显示本帮助。</translation>
    </message>
    <message>
        <source>Show the version.</source>
        <translation>显示版本。</translation>
    </message>
    <message>
        <source>Usage: %1 [--project FILE] [--port PORT] [--json] VERB [ARGS]

Drives an LED sign&apos;s controller card and edits the play list of a project file.

Verbs:
</source>
        <translation>用法：%1 [--project FILE] [--port PORT] [--json] VERB [ARGS]

控制 LED 显示屏的控制卡，编辑项目文件中的节目单。

命令：
</translation>
    </message>
    <message>
        <source>
Options:
  --project FILE   Project file; default: default.brivprj beside the program when
                   that folder is writable, else in the user&apos;s data folder.
                   This copy uses %1
  --port PORT      Port number 1..20, a device path, tcp://HOST:PORT or a sign&apos;s
                   name; without it the card verbs first search ports 1 to 20.
  --sign NAME      A sign of the sign list (&apos;signs add NAME PORT&apos;).
  --all-signs      Every sign of the sign list.
                   --port and --sign may be repeated: find, info, send, clear,
                   clock, power, brightness and factory-reset then serve all the
                   signs at once, one line (or, with --json, one array entry) each;
                   exit code 0 when all succeeded, 3 when none was reached, else 1.
  --json           One JSON document on standard output, for every verb: &quot;ok&quot;
                   and the result, or &quot;ok&quot;: false with &quot;error&quot; and &quot;code&quot;
                   (the exit code); other lines go to standard error.
  -h, --help       This help; VERB --help shows the options of a verb.
  --version        The version of the program.

Results go to standard output, progress and messages to standard error.
--colour is accepted for --color, --flash-delay for --flashdelay (also as set fields).
Ctrl-C during a send stops after the current program; a second Ctrl-C stops at once.
SIGTERM and SIGHUP (timeout, systemctl stop, a closed SSH session) act as Ctrl-C.

Exit codes:
  0  success
  1  the operation ran but not everything succeeded (programs skipped or failed,
     cancelled, the card refused a command)
  2  usage error, or a file that cannot be read or written
  3  no card found, or the port cannot be opened
  4  the card is not supported
</source>
        <translation>
选项：
  --project FILE   项目文件；默认：程序所在文件夹可写时为其中的 default.brivprj，
                   否则在用户的数据文件夹中。
                   本程序使用 %1
  --port PORT      端口号 1..20、设备路径、tcp://主机:端口或屏的名称；
                   不给出时，控制卡命令先在端口 1 到 20 上查找控制卡。
  --sign NAME      屏列表中的一块屏（“signs add 名称 端口”）。
  --all-signs      屏列表中的所有屏。
                   --port 和 --sign 可重复：find、info、send、clear、clock、
                   power、brightness 和 factory-reset 随即同时用于所有这些屏，
                   每块屏一行（用 --json 时为数组中的一项）；
                   全部成功时退出码为 0，一块屏也没连上时为 3，否则为 1。
  --json           每个命令都在标准输出上给出一个 JSON 文档：&quot;ok&quot; 和结果，
                   或 &quot;ok&quot;: false 以及 &quot;error&quot; 和 &quot;code&quot;（退出码）；
                   其他内容输出到标准错误。
  -h, --help       本帮助；VERB --help 显示某个命令的选项。
  --version        程序的版本。

结果输出到标准输出，进度和消息输出到标准错误。
--colour 等同于 --color，--flash-delay 等同于 --flashdelay（作为 set 的字段时也一样）。
发送时按 Ctrl-C，当前节目发送完后停止；再按一次 Ctrl-C 立即停止。
SIGTERM 和 SIGHUP（timeout、systemctl stop、SSH 会话断开）与 Ctrl-C 相同。

退出码：
  0  成功
  1  操作已执行，但并非全部成功（有节目被跳过或失败、已取消、控制卡拒绝了命令）
  2  用法错误，或文件无法读取或写入
  3  没有找到控制卡，或无法打开端口
  4  不支持该控制卡
</translation>
    </message>
    <message>
        <source>Usage: %1 [global options] %2 %3</source>
        <translation>用法：%1 [全局选项] %2 %3</translation>
    </message>
    <message>
        <source>Try &apos;%1 --help&apos;.
</source>
        <translation>请运行“%1 --help”查看帮助。
</translation>
    </message>
    <message>
        <source>Try &apos;%1 %2 --help&apos;.
</source>
        <translation>请运行“%1 %2 --help”查看帮助。
</translation>
    </message>
    <message>
        <source>not everything succeeded</source>
        <translation>并非全部成功</translation>
    </message>
    <message>
        <source>usage error</source>
        <translation>用法错误</translation>
    </message>
    <message>
        <source>no card found, or the port cannot be opened</source>
        <translation>没有找到控制卡，或无法打开端口</translation>
    </message>
    <message>
        <source>What to do.</source>
        <translation>要执行的命令。</translation>
    </message>
    <message>
        <source>no verb given</source>
        <translation>没有给出命令</translation>
    </message>
    <message>
        <source>unknown verb &apos;%1&apos;</source>
        <translation>未知命令“%1”</translation>
    </message>
    <message>
        <source>%1: missing arguments</source>
        <translation>%1：缺少参数</translation>
    </message>
    <message>
        <source>%1: too many arguments</source>
        <translation>%1：参数太多</translation>
    </message>
    <message>
        <source>--%1 needs a value</source>
        <translation>--%1 需要一个值</translation>
    </message>
    <message>
        <source>%1 is not a project file</source>
        <translation>%1 不是项目文件</translation>
    </message>
    <message>
        <source>no project file %1 (create one with &apos;%2 new&apos;)</source>
        <translation>没有项目文件 %1（可用“%2 new”新建）</translation>
    </message>
    <message>
        <source>the project file %1 was changed by another program while this command ran; nothing was written</source>
        <translation>运行本命令期间，项目文件 %1 被其他程序修改；未写入任何内容</translation>
    </message>
    <message>
        <source>cannot write the project file %1</source>
        <translation>无法写入项目文件 %1</translation>
    </message>
    <message>
        <source>invalid program number &apos;%1&apos;: the play list is empty</source>
        <translation>节目号“%1”无效：节目单是空的</translation>
    </message>
    <message>
        <source>invalid program number &apos;%1&apos;: expected 1..%2</source>
        <translation>节目号“%1”无效：应为 1..%2</translation>
    </message>
    <message>
        <source>brivane-cli: warning: program %1: %2
</source>
        <translation>brivane-cli：警告：节目 %1：%2
</translation>
    </message>
    <message>
        <source>invalid --size &apos;%1&apos;: expected 1..999</source>
        <translation>--size 的值“%1”无效：应为 1..999</translation>
    </message>
    <message>
        <source>%1 pt = %2 px: face, the face that serves it, strike sizes (px), sharp sizes (pt) per sign height</source>
        <translation>%1 磅 = %2 像素：字体、实际使用的字体、点阵尺寸（像素）、各屏高下清晰的字号（磅）</translation>
    </message>
    <message>
        <source>cannot write %1</source>
        <translation>无法写入 %1</translation>
    </message>
    <message>
        <source> (strike x%1)</source>
        <translation>（点阵 x%1）</translation>
    </message>
    <message>
        <source>
Cancelling after the current program (Ctrl-C again stops at once)...
</source>
        <translation>
当前节目发送完后取消（再按一次 Ctrl-C 立即停止）……
</translation>
    </message>
    <message>
        <source>
Stopped.
</source>
        <translation>
已停止。
</translation>
    </message>
    <message>
        <source>%1 already exists (--force replaces it)</source>
        <translation>%1 已存在（--force 可替换它）</translation>
    </message>
    <message>
        <source>Created %1: empty play list, screen %2 x %3.</source>
        <translation>已新建 %1：节目单为空，屏 %2 x %3。</translation>
    </message>
    <message>
        <source>invalid --color-type &apos;%1&apos;: single or dual</source>
        <translation>--color-type 的值“%1”无效：应为 single 或 dual</translation>
    </message>
    <message>
        <source>invalid --card &apos;%1&apos;: expected SERIES,MODEL,FIRMWARE such as 15,0x23,2.2.7</source>
        <translation>--card 的值“%1”无效：应为 系列,型号,固件版本，如 15,0x23,2.2.7</translation>
    </message>
    <message>
        <source>Added program %1.</source>
        <translation>已添加节目 %1。</translation>
    </message>
    <message>
        <source>Removed program %1; %2 left.</source>
        <translation>已删除节目 %1；剩余 %2 条。</translation>
    </message>
    <message>
        <source>move: expected up or down, not &apos;%1&apos;</source>
        <translation>move：应为 up 或 down，而不是“%1”</translation>
    </message>
    <message>
        <source>program %1 is already the %2 one</source>
        <translation>节目 %1 已经是 %2 一条</translation>
    </message>
    <message>
        <source>Moved program %1 to %2.</source>
        <translation>已把节目 %1 移到 %2。</translation>
    </message>
    <message>
        <source>expected FIELD=VALUE, not &apos;%1&apos;</source>
        <translation>应为 字段=值，而不是“%1”</translation>
    </message>
    <message>
        <source>Changed program %1.</source>
        <translation>已修改节目 %1。</translation>
    </message>
    <message>
        <source>invalid --%1 &apos;%2&apos;</source>
        <translation>--%1 的值“%2”无效</translation>
    </message>
    <message>
        <source>%1 %2 is outside %3..%4: %5 is used
</source>
        <translation>%1 %2 超出 %3..%4：使用 %5
</translation>
    </message>
    <message>
        <source>render needs --out DIR</source>
        <translation>render 需要 --out DIR</translation>
    </message>
    <message>
        <source>brivane-cli: warning: program %1: %2 (a black page)
</source>
        <translation>brivane-cli：警告：节目 %1：%2（输出黑页）
</translation>
    </message>
    <message>
        <source>%1 pictures written to %2
</source>
        <translation>已把 %1 张图片写到 %2
</translation>
    </message>
    <message>
        <source>schedule: expected check or show, not &apos;%1&apos;</source>
        <translation>schedule：应为 check 或 show，而不是“%1”</translation>
    </message>
    <message>
        <source>%1: the schedule is refused: %2 problem(s)</source>
        <translation>%1：日程被拒绝：%2 处问题</translation>
    </message>
    <message>
        <source>%1: no problems; play lists: %2, brightness windows: %3, power windows: %4, clock sync: %5</source>
        <translation>%1：没有问题；节目单：%2，亮度时段：%3，开关屏时段：%4，校时：%5</translation>
    </message>
    <message>
        <source>--at: expected a local time such as 2026-12-10T10:30, not &apos;%1&apos;</source>
        <translation>--at：应为本地时间，如 2026-12-10T10:30，而不是“%1”</translation>
    </message>
    <message>
        <source>--days must be 1 to %1</source>
        <translation>--days 必须是 1 到 %1</translation>
    </message>
    <message>
        <source>%1 from %2 for %3 days (without an entry: %4)</source>
        <translation>%1 从 %2 起的 %3 天（没有条目时：%4）</translation>
    </message>
    <message>
        <source>  %1 %2  %3  brightness %4  power %5</source>
        <translation>  %1 %2  %3  亮度 %4  开关屏 %5</translation>
    </message>
    <message>
        <source>Next change: %1</source>
        <translation>下次变化：%1</translation>
    </message>
    <message>
        <source>Nothing changes after this.</source>
        <translation>此后没有变化。</translation>
    </message>
    <message>
        <source>  pages %1-%2</source>
        <translation>  第 %1-%2 页</translation>
    </message>
    <message>
        <source>brivane-cli: warning: program %1: %2 (sent as a black page)</source>
        <translation>brivane-cli：警告：节目 %1：%2（以黑页发送）</translation>
    </message>
    <message>
        <source>the send was cancelled: %1 of %2 programs sent</source>
        <translation>发送已取消：已发送 %1 条信息，共 %2 条</translation>
    </message>
    <message>
        <source>nothing was sent</source>
        <translation>没有发送任何信息</translation>
    </message>
    <message>
        <source>%1 of %2 programs sent</source>
        <translation>已发送 %1 条信息，共 %2 条</translation>
    </message>
    <message>
        <source>--tls needs two files: --tls CERT KEY</source>
        <translation>--tls 需要两个文件：--tls CERT KEY</translation>
    </message>
    <message>
        <source>serve: too many arguments</source>
        <translation>serve：参数太多</translation>
    </message>
    <message>
        <source>invalid --allow-host &apos;%1&apos;: a host name such as sign.local</source>
        <translation>--allow-host 的值“%1”无效：应为主机名，如 sign.local</translation>
    </message>
    <message>
        <source>invalid --on-error &apos;%1&apos;: retry, skip or stop (nobody answers questions of the service)</source>
        <translation>--on-error 的值“%1”无效：应为 retry、skip 或 stop（服务的提问无人回答）</translation>
    </message>
    <message>
        <source>invalid --listen &apos;%1&apos;: expected ADDR:PORT such as 127.0.0.1:8080</source>
        <translation>--listen 的值“%1”无效：应为 地址:端口，如 127.0.0.1:8080</translation>
    </message>
    <message>
        <source>listening on %1 needs --token TOKEN (or BRIVANE_TOKEN): only loopback is served without one</source>
        <translation>在 %1 上监听需要 --token TOKEN（或 BRIVANE_TOKEN）：没有令牌时只服务环回地址</translation>
    </message>
    <message>
        <source>no project file %1 (create one with &apos;brivane-cli new&apos;)</source>
        <translation>没有项目文件 %1（可用“brivane-cli new”新建）</translation>
    </message>
    <message>
        <source>no schedule file %1</source>
        <translation>没有日程文件 %1</translation>
    </message>
    <message>
        <source>cannot listen on %1: %2</source>
        <translation>无法在 %1 上监听：%2</translation>
    </message>
    <message>
        <source>Serving %1 on %2://%3:%4/ (Ctrl-C stops)
</source>
        <translation>正在 %2://%3:%4/ 上提供 %1（Ctrl-C 停止）
</translation>
    </message>
    <message>
        <source>signs: expected add, list or remove, not &apos;%1&apos;</source>
        <translation>signs：应为 add、list 或 remove，而不是“%1”</translation>
    </message>
    <message>
        <source>signs list: too many arguments</source>
        <translation>signs list：参数太多</translation>
    </message>
    <message>
        <source>cannot read the sign list %1</source>
        <translation>无法读取屏列表 %1</translation>
    </message>
    <message>
        <source>No signs yet (add one with &apos;brivane-cli signs add NAME PORT&apos;); the list is kept in %1
</source>
        <translation>还没有屏（可用“brivane-cli signs add 名称 端口”添加）；屏列表保存在 %1
</translation>
    </message>
    <message>
        <source>signs add: expected NAME PORT</source>
        <translation>signs add：应为 名称 端口</translation>
    </message>
    <message>
        <source>signs add: </source>
        <translation>signs add：</translation>
    </message>
    <message>
        <source>Sign %1: %2</source>
        <translation>屏 %1：%2</translation>
    </message>
    <message>
        <source>signs remove: expected NAME</source>
        <translation>signs remove：应为 名称</translation>
    </message>
    <message>
        <source>no sign named &apos;%1&apos;</source>
        <translation>没有名为“%1”的屏</translation>
    </message>
    <message>
        <source>Removed sign %1.</source>
        <translation>已删除屏 %1。</translation>
    </message>
    <message>
        <source>cannot read the sign list %1; it is left as it is</source>
        <translation>无法读取屏列表 %1；保持不变</translation>
    </message>
    <message>
        <source>invalid --port &apos;%1&apos;: a port number 1..%2, a device path, tcp://HOST:PORT or a sign&apos;s name</source>
        <translation>--port 的值“%1”无效：应为端口号 1..%2、设备路径、tcp://主机:端口或屏的名称</translation>
    </message>
    <message>
        <source>--port needs a port number or a device path</source>
        <translation>--port 需要端口号或设备路径</translation>
    </message>
    <message>
        <source>invalid --port &apos;%1&apos;: expected tcp://HOST:PORT</source>
        <translation>--port 的值“%1”无效：应为 tcp://主机:端口</translation>
    </message>
    <message>
        <source>no sign named &apos;%1&apos; (see &apos;brivane-cli signs list&apos;)</source>
        <translation>没有名为“%1”的屏（见“brivane-cli signs list”）</translation>
    </message>
    <message>
        <source>--all-signs: the sign list %1 is empty (add signs with &apos;brivane-cli signs add NAME PORT&apos;)</source>
        <translation>--all-signs：屏列表 %1 是空的（可用“brivane-cli signs add 名称 端口”添加）</translation>
    </message>
    <message>
        <source>
-&gt; yes (retry %1 of %2)
</source>
        <translation>
-&gt; 是（第 %1 次重试，共 %2 次）
</translation>
    </message>
    <message>
        <source> [y]es resend / [n]o skip / [c]ancel stop: </source>
        <translation> [y]是 重发 / [n]否 跳过 / [c]取消 停止：</translation>
    </message>
    <message>
        <source>
-&gt; cancel (no retries left)
</source>
        <translation>
-&gt; 取消（没有剩余的重试次数）
</translation>
    </message>
    <message>
        <source>
-&gt; no (skip)
</source>
        <translation>
-&gt; 否（跳过）
</translation>
    </message>
    <message>
        <source>Sign %1: %2 [%3]</source>
        <translation>屏 %1：%2 [%3]</translation>
    </message>
    <message>
        <source>add: the sign belongs to this group (repeatable; replaces its groups); list: only the signs of this group.</source>
        <translation>add：屏属于这个分组（可重复；替换其原有分组）；list：只列出这个分组的屏。</translation>
    </message>
    <message>
        <source>Keep named signs (a device path or tcp://HOST:PORT each), in groups.</source>
        <translation>管理有名称的屏（每块屏对应一个设备路径或 tcp://主机:端口），可分组。</translation>
    </message>
    <message>
        <source>Address and port to listen on (default 127.0.0.1:8080; port 0: any free port; none: MQTT only). Any address but loopback needs a token.</source>
        <translation>监听的地址和端口（默认 127.0.0.1:8080；端口 0：任一空闲端口；none：只用 MQTT）。环回以外的地址需要口令。</translation>
    </message>
    <message>
        <source>Also serve the signs on this MQTT broker: mqtt://HOST[:PORT] or mqtts://HOST[:PORT] (TLS).</source>
        <translation>同时在此 MQTT 服务器上提供显示屏：mqtt://主机[:端口] 或 mqtts://主机[:端口]（TLS）。</translation>
    </message>
    <message>
        <source>CA certificates (PEM) the mqtts:// broker&apos;s certificate must chain to (default: the system&apos;s).</source>
        <translation>mqtts:// 服务器证书须由其签发的 CA 证书（PEM；默认：系统的）。</translation>
    </message>
    <message>
        <source>User name on the broker.</source>
        <translation>MQTT 服务器上的用户名。</translation>
    </message>
    <message>
        <source>Read the broker password from this file (default: BRIVANE_MQTT_PASSWORD).</source>
        <translation>从此文件读取 MQTT 服务器的密码（默认：BRIVANE_MQTT_PASSWORD）。</translation>
    </message>
    <message>
        <source>First level of the signs&apos; topics (default brivane).</source>
        <translation>显示屏主题的第一层（默认 brivane）。</translation>
    </message>
    <message>
        <source>This service&apos;s id on the broker and in Home Assistant (default: the host name).</source>
        <translation>本服务在 MQTT 服务器和 Home Assistant 中的标识（默认：主机名）。</translation>
    </message>
    <message>
        <source>serve: remove the signs&apos; Home Assistant devices and retained topics from the broker, then exit.</source>
        <translation>serve：从 MQTT 服务器删除显示屏的 Home Assistant 设备和保留的主题，然后退出。</translation>
    </message>
    <message>
        <source>invalid --mqtt &apos;%1&apos;: %2</source>
        <translation>--mqtt“%1”无效：%2</translation>
    </message>
    <message>
        <source>--mqtt-ca needs an mqtts:// broker</source>
        <translation>--mqtt-ca 需要 mqtts:// 服务器</translation>
    </message>
    <message>
        <source>cannot read the CA file %1</source>
        <translation>无法读取 CA 文件 %1</translation>
    </message>
    <message>
        <source>cannot read the password file %1: %2</source>
        <translation>无法读取密码文件 %1：%2</translation>
    </message>
    <message>
        <source>a broker password needs --mqtt-user</source>
        <translation>MQTT 服务器密码需要 --mqtt-user</translation>
    </message>
    <message>
        <source>invalid --mqtt-prefix &apos;%1&apos;: topic levels without + # or a leading $</source>
        <translation>--mqtt-prefix“%1”无效：主题层级中不能有 + 或 #，也不能以 $ 开头</translation>
    </message>
    <message>
        <source>--mqtt-forget needs --mqtt URL</source>
        <translation>--mqtt-forget 需要 --mqtt URL</translation>
    </message>
    <message>
        <source>--listen none leaves nothing to serve without --mqtt</source>
        <translation>没有 --mqtt 时，--listen none 将无事可做</translation>
    </message>
    <message>
        <source>the sign name &apos;%1&apos; cannot have MQTT topics (&apos;group&apos; is the groups&apos; level)</source>
        <translation>显示屏名称“%1”不能用作 MQTT 主题（“group”是分组的层级）</translation>
    </message>
    <message>
        <source>could not reach the broker %1:%2 to remove the signs</source>
        <translation>无法连接 MQTT 服务器 %1:%2 以删除显示屏</translation>
    </message>
    <message>
        <source>Removed the signs&apos; Home Assistant devices and retained topics from %1:%2.
</source>
        <translation>已从 %1:%2 删除显示屏的 Home Assistant 设备和保留的主题。
</translation>
    </message>
    <message>
        <source>Serving %1 on MQTT only (Ctrl-C stops)
</source>
        <translation>仅通过 MQTT 提供 %1（按 Ctrl-C 停止）
</translation>
    </message>
    <message>
        <source>MQTT: %1/ on %2:%3
</source>
        <translation>MQTT：%1/，服务器 %2:%3
</translation>
    </message>
    <message>
        <source>Error: </source>
        <translation>错误：</translation>
    </message>
    <message>
        <source>Stopping...
</source>
        <translation>正在停止……
</translation>
    </message>
    <message>
        <source>Stopped.
</source>
        <translation>已停止。
</translation>
    </message>
    <message>
        <source>could not reach the broker %1:%2; the sign is left in the list</source>
        <translation>无法连接 MQTT 服务器 %1:%2；显示屏仍留在列表中</translation>
    </message>
    <message>
        <source>
-&gt; no
</source>
        <translation>
-&gt; 否
</translation>
    </message>
    <message>
        <source>
-&gt; cancel
</source>
        <translation>
-&gt; 取消
</translation>
    </message>
</context>
<context>
    <name>Fields</name>
    <message>
        <source> or one of: </source>
        <translation> 或以下之一：</translation>
    </message>
    <message>
        <source>invalid %1 &quot;%2&quot;: expected %3</source>
        <translation>%1 的值“%2”无效：应为 %3</translation>
    </message>
    <message>
        <source>text too long: %1 characters, at most %2</source>
        <translation>文字太长：%1 个字符，最多 %2 个</translation>
    </message>
    <message>
        <source>invalid font &quot;%1&quot;: a face name of 1 to %2 characters</source>
        <translation>字体“%1”无效：字体名称应为 1 到 %2 个字符</translation>
    </message>
    <message>
        <source>a %1 program has no field &quot;%2&quot;</source>
        <translation>%1节目没有字段“%2”</translation>
    </message>
    <message>
        <source>unknown field &quot;%1&quot;; fields: %2</source>
        <translation>未知字段“%1”；可用字段：%2</translation>
    </message>
    <message>
        <source>no image file at &quot;%1&quot;</source>
        <translation>“%1”处没有图片文件</translation>
    </message>
    <message>
        <source>cannot use the image &quot;%1&quot;: %2</source>
        <translation>无法使用图片“%1”：%2</translation>
    </message>
    <message>
        <source>%1  %2  %3  speed %4  border %5  clock %6  stay %7  pages %8  &quot;%9&quot;</source>
        <translation>%1  %2  %3  速度 %4  边框 %5  时钟 %6  停留 %7  页数 %8  “%9”</translation>
    </message>
</context>
<context>
    <name>Playback</name>
    <message>
        <source>the output is not open for writing</source>
        <translation>输出文件未打开，无法写入</translation>
    </message>
    <message>
        <source>scale must be 1 to %1</source>
        <translation>放大倍数必须是 1 到 %1</translation>
    </message>
    <message>
        <source>a GIF cannot hold %1 x %2 at scale %3</source>
        <translation>GIF 放不下 %1 x %2（放大 %3 倍）</translation>
    </message>
    <message>
        <source>the GIF is not open</source>
        <translation>GIF 未打开</translation>
    </message>
    <message>
        <source>a frame of another size</source>
        <translation>帧的尺寸不一致</translation>
    </message>
    <message>
        <source>the play list has nothing to play</source>
        <translation>节目单中没有可播放的内容</translation>
    </message>
    <message>
        <source>cannot write %1: %2</source>
        <translation>无法写入 %1：%2</translation>
    </message>
    <message>
        <source>cannot write %1</source>
        <translation>无法写入 %1</translation>
    </message>
</context>
<context>
    <name>SignList</name>
    <message>
        <source>a sign needs a name</source>
        <translation>屏需要一个名称</translation>
    </message>
    <message>
        <source>a sign&apos;s name has at most %1 characters, without leading or trailing spaces</source>
        <translation>屏的名称最多 %1 个字符，首尾不能有空格</translation>
    </message>
    <message>
        <source>a sign&apos;s name must not contain / \ , = or control characters</source>
        <translation>屏的名称不能包含 / \ , = 或控制字符</translation>
    </message>
    <message>
        <source>a sign&apos;s name must not look like a port (%1)</source>
        <translation>屏的名称不能像端口（%1）</translation>
    </message>
    <message>
        <source>a sign needs a port</source>
        <translation>屏需要一个端口</translation>
    </message>
    <message>
        <source>invalid network port &apos;%1&apos;: expected tcp://HOST:PORT</source>
        <translation>网络端口“%1”无效：应为 tcp://主机:端口</translation>
    </message>
    <message>
        <source>a sign&apos;s port is a device path or tcp://HOST:PORT, not a number</source>
        <translation>屏的端口应为设备路径或 tcp://主机:端口，不能是数字</translation>
    </message>
    <message>
        <source>invalid port &apos;%1&apos;</source>
        <translation>端口“%1”无效</translation>
    </message>
    <message>
        <source>%1: the sign list is larger than %2 bytes and is not read</source>
        <translation>%1：屏列表大于 %2 字节，未读取</translation>
    </message>
    <message>
        <source>the name &apos;%1&apos; is used twice</source>
        <translation>名称“%1”用了两次</translation>
    </message>
    <message>
        <source>%1: entry %2 skipped: %3</source>
        <translation>%1：已跳过第 %2 项：%3</translation>
    </message>
    <message>
        <source>%1: only the first %2 signs are read</source>
        <translation>%1：只读取了前 %2 块屏</translation>
    </message>
    <message>
        <source>no sign list file (BRIVANE_SIGNS is empty)</source>
        <translation>没有屏列表文件（BRIVANE_SIGNS 为空）</translation>
    </message>
    <message>
        <source>cannot read the sign list %1; it is left as it is</source>
        <translation>无法读取屏列表 %1；保持不变</translation>
    </message>
    <message>
        <source>cannot write the sign list %1</source>
        <translation>无法写入屏列表 %1</translation>
    </message>
    <message>
        <source>the sign list is full (%1 signs)</source>
        <translation>屏列表已满（%1 块屏）</translation>
    </message>
    <message>
        <source>a group&apos;s name must not contain + or #</source>
        <translation>分组名称不能包含 + 或 #</translation>
    </message>
    <message>
        <source>group &apos;%1&apos;: %2</source>
        <translation>分组“%1”：%2</translation>
    </message>
</context>
</TS>
